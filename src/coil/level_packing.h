#pragma once

#include <vector>

#include "coil/pattern_master.h"

namespace kvm::coil {

// Sheets for an order too large to price patterns for: each sheet as long as the longest strip
// left, filled across with the longest strips that fit, and cut again while its strips last.
// With many strips the lengths on a sheet lie close together, so little is lost along it.
// One column a sheet. Throws std::invalid_argument for a width below one unit of the grid.
std::vector<Column> packLevels(const std::vector<int>& widths, const std::vector<double>& lengths,
                               const std::vector<int>& demand, int capacity);

}  // namespace kvm::coil
