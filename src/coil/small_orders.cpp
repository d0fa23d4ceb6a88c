#include "coil/small_orders.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "coil/capped_bound.h"
#include "coil/pattern_choice.h"

namespace kvm::coil {

namespace {

// The relaxation over relaxed sheets, which cut no more of a size than is wanted, from the
// given real ones: priced exactly until it converges, else the best Farley bound seen.
Relaxation relaxedBound(const Instance& instance, const std::vector<Column>& seeds,
                        std::vector<Column>& sheets) {
  PatternMaster relaxed(instance.demand);
  relaxed.add(seeds);
  const SizeGrid grid{instance.widths,     instance.lengths,  instance.millimetres,
                      instance.lengthGrid, instance.capacity, instance.maxLength};
  Relaxation relaxation;
  for (int round = 0; round < kPricingRounds; ++round) {
    relaxed.solve();
    const CappedPrice price = priceCapped(grid, relaxed.duals(), instance.demand);
    if (price.steepest <= kImproving) return {relaxed.objective(), true};
    relaxation.bound =
        std::max(relaxation.bound, relaxed.objective() / std::max(1.0, price.steepest));
    if (price.sheet.sizes.empty() || relaxed.has(price.sheet.sizes)) break;
    sheets.push_back(price.sheet);
    relaxed.add({price.sheet});
  }
  return relaxation;
}

// A real sheet as near a relaxed one as the rows allow: its pieces, widest and longest first,
// each in the first row of its width with room along, or a new row while the width has room.
Column realised(const Instance& instance, const Column& relaxed) {
  std::vector<std::size_t> pieces;
  for (const auto& [size, count] : relaxed.sizes) {
    pieces.insert(pieces.end(), static_cast<std::size_t>(count), size);
  }
  std::sort(pieces.begin(), pieces.end(), [&](std::size_t a, std::size_t b) {
    return instance.widths[a] != instance.widths[b] ? instance.widths[a] > instance.widths[b]
                                                    : instance.lengths[a] > instance.lengths[b];
  });
  const auto along = static_cast<int>(std::lround(relaxed.length / instance.lengthGrid));
  std::vector<std::map<std::size_t, int>> rowPieces;
  std::vector<int> rowWidth;
  std::vector<int> rowUsed;
  int across = 0;
  for (const std::size_t size : pieces) {
    std::size_t row = 0;
    while (row < rowWidth.size() && (rowWidth[row] != instance.widths[size] ||
                                     rowUsed[row] + instance.lengths[size] > along)) {
      ++row;
    }
    if (row == rowWidth.size()) {
      if (across + instance.widths[size] > instance.capacity) continue;
      across += instance.widths[size];
      rowWidth.push_back(instance.widths[size]);
      rowUsed.push_back(0);
      rowPieces.emplace_back();
    }
    rowUsed[row] += instance.lengths[size];
    ++rowPieces[row][size];
  }
  std::vector<Row> rows;
  for (std::size_t row = 0; row < rowWidth.size(); ++row) {
    rows.push_back({rowWidth[row], {rowPieces[row].begin(), rowPieces[row].end()}});
  }
  return sheetOfRows(instance, std::move(rows));
}

// The sheets of the pool and of the plan so far, each cut as often as an integer program over
// them chooses, where that beats the plan.
std::vector<Cut> chosenCuts(const Instance& instance, std::vector<Column> pool,
                            std::vector<Cut> cuts) {
  std::vector<int> start(pool.size(), 0);
  for (const Cut& cut : cuts) {
    pool.push_back(cut.column);
    start.push_back(cut.times);
  }
  const std::vector<int> times = choosePatterns(pool, instance.demand, start);
  if (times.size() != pool.size()) return cuts;
  std::vector<int> remaining = instance.demand;
  std::vector<Cut> chosen;
  for (std::size_t p = 0; p < pool.size(); ++p) {
    if (times[p] > 0) take(instance, pool[p], times[p], remaining, chosen);
  }
  if (!allCut(remaining)) return cuts;
  return coilLengthOf(chosen) < coilLengthOf(cuts) ? chosen : cuts;
}

}  // namespace

Relaxation improveSmallOrder(const Instance& instance, const PatternMaster& master,
                             RowPricing& pricing, const Relaxation& relaxation, double goodEnough,
                             std::vector<Cut>& cuts) {
  Relaxation bound = relaxation;
  PatternMaster capped(instance.demand);
  std::vector<Column> known;
  for (const Column& column : master.columns()) {
    Column within = withinDemand(instance, column, instance.demand);
    if (!within.sizes.empty() && !capped.has(within.sizes)) known.push_back(std::move(within));
  }
  capped.add(std::move(known));
  generateColumns(capped, pricing, instance.demand, true);
  std::vector<Column> relaxedSheets;
  const Relaxation relaxed = relaxedBound(instance, capped.columns(), relaxedSheets);
  if (relaxed.bound > bound.bound) bound = relaxed;
  std::vector<Cut> other = roundedCuts(capped, pricing, instance, goodEnough, true);
  if (coilLengthOf(other) < coilLengthOf(cuts)) cuts = std::move(other);
  std::vector<Column> pool = capped.columns();
  for (const Column& sheet : relaxedSheets) {
    Column real = realised(instance, sheet);
    if (!real.sizes.empty()) pool.push_back(std::move(real));
  }
  for (const Column& column : master.columns()) {
    Column within = withinDemand(instance, column, instance.demand);
    if (!within.sizes.empty()) pool.push_back(std::move(within));
  }
  cuts = chosenCuts(instance, std::move(pool), std::move(cuts));
  return bound;
}

}  // namespace kvm::coil
