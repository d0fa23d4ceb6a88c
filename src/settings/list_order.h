#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace kvm {

// How the ordering commands rearrange a list's rows and, in step with them, the records the
// rows show, so that a row's position stays its record's index.

// Moves the element at `from` to `to`; the others keep their order.
template <class T>
void moveElement(std::vector<T>& items, std::size_t from, std::size_t to) {
  const auto first = items.begin();
  if (from < to) {
    std::rotate(first + static_cast<std::ptrdiff_t>(from),
                first + static_cast<std::ptrdiff_t>(from) + 1,
                first + static_cast<std::ptrdiff_t>(to) + 1);
  } else if (to < from) {
    std::rotate(first + static_cast<std::ptrdiff_t>(to), first + static_cast<std::ptrdiff_t>(from),
                first + static_cast<std::ptrdiff_t>(from) + 1);
  }
}

// The rows sorted by the core's list collation, stable: for each new position the old index
// of the row that goes there. Rows of equal text keep their order.
std::vector<std::size_t> collatedOrder(const std::vector<std::u16string>& texts);

// The elements in the given order (old indexes, as collatedOrder gives them).
template <class T>
std::vector<T> inOrder(std::vector<T> items, const std::vector<std::size_t>& order) {
  std::vector<T> arranged;
  arranged.reserve(order.size());
  for (const std::size_t index : order) {
    arranged.push_back(std::move(items.at(index)));
  }
  return arranged;
}

}  // namespace kvm
