#include "coil/pattern_order.h"

#include <algorithm>

namespace kvm {

SheetLayout sheetLayout(const CoilGroup& group, const SheetPattern& pattern) {
  SheetLayout layout;
  for (const SheetRow& row : pattern.rows) {
    std::vector<double> lengths;
    for (const RowPieces& pieces : row.pieces) {
      if (pieces.piece >= group.pieces.size()) continue;
      lengths.insert(lengths.end(), static_cast<std::size_t>(std::max(pieces.count, 0)),
                     group.pieces[pieces.piece].length);
    }
    layout.emplace_back(row.width, std::move(lengths));
  }
  return layout;
}

void orderForWorkshop(const CoilGroup& group, std::vector<SheetPattern>& patterns) {
  std::vector<std::pair<SheetLayout, SheetPattern>> laidOut;
  laidOut.reserve(patterns.size());
  for (SheetPattern& pattern : patterns) {
    SheetLayout layout = sheetLayout(group, pattern);
    laidOut.emplace_back(std::move(layout), std::move(pattern));
  }
  std::stable_sort(laidOut.begin(), laidOut.end(), [](const auto& a, const auto& b) {
    if (a.second.length != b.second.length) return a.second.length > b.second.length;
    return a.first > b.first;
  });
  patterns.clear();
  for (auto& [layout, pattern] : laidOut) patterns.push_back(std::move(pattern));
}

}  // namespace kvm
