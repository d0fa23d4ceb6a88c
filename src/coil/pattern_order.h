#pragma once

#include <utility>
#include <vector>

#include "coil/coil_order.h"

namespace kvm {

// The rows of a sheet top down as the slitter and the shear see them: each row's width and the
// lengths along it, whichever flashings the pieces go to. Patterns of one layout are cut with
// the same knife setting.
using SheetLayout = std::vector<std::pair<double, std::vector<double>>>;
SheetLayout sheetLayout(const CoilGroup& group, const SheetPattern& pattern);

// Puts a plan's patterns in the order the workshop cuts them: the longest sheets first, and
// among sheets of one length the patterns of one layout next to each other, so that the
// knives are set once for them all. The sheets and rows stay what they are.
void orderForWorkshop(const CoilGroup& group, std::vector<SheetPattern>& patterns);

}  // namespace kvm
