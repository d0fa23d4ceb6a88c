#include "coil/pattern_order.h"

#include <algorithm>

namespace kvm {

SheetLayout sheetLayout(const CoilGroup& group, const SheetPattern& pattern) {
  SheetLayout layout;
  for (const SheetStrips& kind : pattern.strips) {
    if (kind.strip >= group.strips.size()) continue;
    const CoilStrip& strip = group.strips[kind.strip];
    layout.insert(layout.end(), static_cast<std::size_t>(std::max(kind.count, 0)),
                  {strip.width, strip.length});
  }
  return layout;
}

void orderForWorkshop(const CoilGroup& group, std::vector<SheetPattern>& patterns) {
  for (SheetPattern& pattern : patterns) {
    std::sort(pattern.strips.begin(), pattern.strips.end(),
              [&](const SheetStrips& a, const SheetStrips& b) {
                const CoilStrip& x = group.strips[a.strip];
                const CoilStrip& y = group.strips[b.strip];
                if (x.width != y.width) return x.width > y.width;
                if (x.length != y.length) return x.length > y.length;
                return a.strip < b.strip;
              });
  }
  std::vector<std::pair<SheetLayout, SheetPattern>> laidOut;
  laidOut.reserve(patterns.size());
  for (SheetPattern& pattern : patterns) {
    SheetLayout layout = sheetLayout(group, pattern);
    laidOut.emplace_back(std::move(layout), std::move(pattern));
  }
  std::sort(laidOut.begin(), laidOut.end(), [](const auto& a, const auto& b) {
    if (a.second.length != b.second.length) return a.second.length > b.second.length;
    if (a.first != b.first) return a.first > b.first;
    return a.second.sheets > b.second.sheets;
  });
  patterns.clear();
  for (auto& [layout, pattern] : laidOut) patterns.push_back(std::move(pattern));
}

}  // namespace kvm
