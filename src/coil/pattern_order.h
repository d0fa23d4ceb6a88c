#pragma once

#include <utility>
#include <vector>

#include "coil/coil_order.h"

namespace kvm {

// The strips across a sheet top down as the slitter sees them, width by length, whichever
// flashings they go to: patterns of one layout are cut with the same knife setting.
using SheetLayout = std::vector<std::pair<double, double>>;
SheetLayout sheetLayout(const CoilGroup& group, const SheetPattern& pattern);

// Puts a plan's patterns in the order the workshop cuts them: on each sheet the widest strips
// on top; the longest sheets first, and among sheets of one length the patterns of one layout
// next to each other, so that the slitter's knives are set once for them all. The sheets and
// strips stay what they are.
void orderForWorkshop(const CoilGroup& group, std::vector<SheetPattern>& patterns);

}  // namespace kvm
