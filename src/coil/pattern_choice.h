#pragma once

#include <vector>

#include "coil/row_pricing.h"

namespace kvm::coil {

// How often to cut each sheet of a pool so that every size is cut at least as often as wanted
// with the least coil: a small integer program over the pool, searched within a fixed number of
// branch-and-bound nodes so that the same pool always gives the same answer. `start` (times per
// column, or empty) is a plan the search must beat. Returns the times per column, or an empty
// vector where the search found nothing better than `start`.
std::vector<int> choosePatterns(const std::vector<Column>& pool, const std::vector<int>& demand,
                                const std::vector<int>& start);

}  // namespace kvm::coil
