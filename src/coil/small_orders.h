#pragma once

#include <vector>

#include "coil/coil_instance.h"
#include "coil/column_generation.h"
#include "coil/pattern_master.h"
#include "coil/row_pricing.h"
#include "coil/sheet_rounding.h"

namespace kvm::coil {

// Where a size is wanted once or twice, the relaxation's sheets repeat one best row down a
// width: they round badly and bound weakly. Sheets that cut no more than is wanted, each row
// laid from what the rows above it left, round better; the relaxation over relaxed sheets
// whose rows of a width are valued together bounds every plan; and an integer program chooses
// among all the sheets found. Shortens `cuts` where it can and returns the better bound.
Relaxation improveSmallOrder(const Instance& instance, const PatternMaster& master,
                             RowPricing& pricing, const Relaxation& relaxation, double goodEnough,
                             std::vector<Cut>& cuts);

}  // namespace kvm::coil
