#pragma once

#include <span>

#include "coil/row_pricing.h"

namespace kvm::coil {

// The piece sizes of a coil on its nesting grids, as the pricing sees them.
struct SizeGrid {
  std::span<const int> widths;          // grid units across, at least 1
  std::span<const int> lengths;         // grid units along, at least 1
  std::span<const double> millimetres;  // along
  double grid = 1;                      // mm per unit along
  int capacity = 0;                     // units across
  int maxLength = 0;                    // units along, the longest sheet
};

// Prices relaxed sheets: a sheet that cuts at most caps[i] pieces of size i in all its rows
// together is worth no more than a relaxed one of its length, whose rows of one width are
// valued together: no more than their best single row each, and no more than one knapsack as
// long as all of them holding the pieces that fit one row. Where a size is wanted once or
// twice, the bound over sheets that repeat one best row down a width is far too weak; the
// relaxation over these sheets is not, and it still bounds every plan.
struct CappedPrice {
  double steepest = 0;  // the best relaxed sheet's value per mm of its length
  Column sheet;         // that sheet's length and pieces (no rows: it need not be cuttable)
};

CappedPrice priceCapped(const SizeGrid& sizes, std::span<const double> values,
                        std::span<const int> caps);

}  // namespace kvm::coil
