#pragma once

#include <limits>
#include <vector>

#include "coil/coil_instance.h"
#include "coil/pattern_master.h"
#include "coil/row_pricing.h"

namespace kvm::coil {

// A sheet pattern and how often it is cut.
struct Cut {
  Column column;
  int times = 0;
};

bool allCut(const std::vector<int>& remaining);

// The sheet these rows are slit into: as long as its longest row, its pieces counted by size.
Column sheetOfRows(const Instance& instance, std::vector<Row> rows);
double coilLengthOf(const std::vector<Cut>& cuts);

// The column cut down to the pieces still to cut, top row first, as long as its longest row.
Column withinDemand(const Instance& instance, const Column& column,
                    const std::vector<int>& remaining);

// Cuts the column up to `wanted` times from what is left: whole while all its pieces are
// wanted, then cut down to what is left. Returns the sheets cut.
int take(const Instance& instance, const Column& column, int wanted, std::vector<int>& remaining,
         std::vector<Cut>& cuts);

// Sheets for what is left, one at a time: of all sheet lengths, the sheet whose pieces cover
// most of its area, cut again while its pieces last.
void cutGreedily(const Instance& instance, RowPricing& pricing, std::vector<int>& remaining,
                 std::vector<Cut>& cuts);

// Residual rounding: the relaxation's patterns rounded down, the rest priced again and rounded
// down until no pattern is used whole; then the most used pattern is cut once and the rest
// priced again (a dive). The greedy fills whatever is left. Where the dive starts, the greedy
// tail alone is kept as a second plan, and the shorter of the two is returned; the tail alone
// where it is already `goodEnough` long at most, or where the dive cannot beat it or a plan
// `inHand` long.
std::vector<Cut> roundedCuts(PatternMaster& master, RowPricing& pricing, const Instance& instance,
                             double goodEnough, bool sequential = false,
                             double inHand = std::numeric_limits<double>::infinity());

}  // namespace kvm::coil
