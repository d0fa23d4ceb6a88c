#pragma once

#include <vector>

#include "coil/pattern_master.h"
#include "coil/row_pricing.h"

namespace kvm::coil {

// A pattern shortens the relaxation where its pieces' duals beat its length by more than the
// solver's rounding.
inline constexpr double kImproving = 1 + 1e-9;
inline constexpr int kPricingRounds = 500;

struct Relaxation {
  double bound = 0;
  bool converged = false;
};

// Prices patterns into the master until none shortens it. The bound is the relaxation's
// optimum once converged, else the best Farley bound seen. With `sequential`, each row of a
// width is laid from what the rows above it left.
Relaxation generateColumns(PatternMaster& master, RowPricing& pricing,
                           const std::vector<int>& demand, bool sequential = false);

}  // namespace kvm::coil
