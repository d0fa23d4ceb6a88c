#include "settings/list_order.h"

#include <numeric>

#include "base/codepage.h"

namespace kvm {

std::vector<std::size_t> collatedOrder(const std::vector<std::u16string>& texts) {
  std::vector<std::size_t> order(texts.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&texts](std::size_t a, std::size_t b) {
    return collateCompare(texts[a], texts[b]) < 0;
  });
  return order;
}

}  // namespace kvm
