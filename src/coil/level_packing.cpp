#include "coil/level_packing.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace kvm::coil {

std::vector<Column> packLevels(const std::vector<int>& widths, const std::vector<double>& lengths,
                               const std::vector<int>& demand, int capacity) {
  if (std::any_of(widths.begin(), widths.end(), [](int width) { return width < 1; })) {
    throw std::invalid_argument("level packing: a strip without width on the grid");
  }
  std::vector<std::size_t> order(widths.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return lengths[a] != lengths[b] ? lengths[a] > lengths[b] : widths[a] > widths[b];
  });
  std::vector<int> remaining = demand;
  std::vector<Column> sheets;
  std::size_t first = 0;  // in `order`, the longest kind with strips left
  for (;;) {
    while (first < order.size() && remaining[order[first]] == 0) ++first;
    if (first == order.size()) break;
    // The sheet is as long as the longest strip left; beside it go the longest strips that
    // still fit, so that the sheet's length is lost as little as its width.
    Column sheet{lengths[order[first]], {}};
    int left = capacity;
    for (std::size_t at = first; at < order.size() && left > 0; ++at) {
      const std::size_t kind = order[at];
      const int across = std::min(remaining[kind], left / widths[kind]);
      if (across <= 0) continue;
      sheet.strips.emplace_back(kind, across);
      left -= across * widths[kind];
    }
    // Cut while its strips last: a workshop slits one pattern many times over.
    int times = 0;
    for (const auto& [kind, count] : sheet.strips) {
      times = times == 0 ? remaining[kind] / count : std::min(times, remaining[kind] / count);
    }
    for (const auto& [kind, count] : sheet.strips) remaining[kind] -= times * count;
    std::sort(sheet.strips.begin(), sheet.strips.end());
    for (int n = 0; n < times; ++n) sheets.push_back(sheet);
  }
  return sheets;
}

}  // namespace kvm::coil
