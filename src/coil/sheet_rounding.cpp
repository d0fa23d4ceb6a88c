#include "coil/sheet_rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <utility>

#include "coil/column_generation.h"

namespace kvm::coil {

namespace {

constexpr int kRoundingPasses = 50;
constexpr int kDiveSteps = 200;

void subtract(const Column& column, int times, std::vector<int>& remaining) {
  for (const auto& [size, count] : column.sizes) remaining[size] -= count * times;
}

// How often the column can be cut whole from what is left.
int wholeTimes(const Column& column, const std::vector<int>& remaining) {
  int times = std::numeric_limits<int>::max();
  for (const auto& [size, count] : column.sizes) times = std::min(times, remaining[size] / count);
  return column.sizes.empty() ? 0 : times;
}

}  // namespace

bool allCut(const std::vector<int>& remaining) {
  return std::all_of(remaining.begin(), remaining.end(), [](int left) { return left == 0; });
}

Column withinDemand(const Instance& instance, const Column& column,
                    const std::vector<int>& remaining) {
  std::vector<int> left = remaining;
  Column cut;
  std::map<std::size_t, int> sizes;
  for (const Row& row : column.rows) {
    Row kept{row.width, {}};
    double used = 0;
    for (const auto& [size, count] : row.pieces) {
      const int taken = std::min(count, left[size]);
      if (taken <= 0) continue;
      left[size] -= taken;
      sizes[size] += taken;
      kept.pieces.emplace_back(size, taken);
      used += instance.millimetres[size] * taken;
    }
    if (kept.pieces.empty()) continue;
    cut.length = std::max(cut.length, used);
    cut.rows.push_back(std::move(kept));
  }
  cut.sizes.assign(sizes.begin(), sizes.end());
  return cut;
}

int take(const Instance& instance, const Column& column, int wanted, std::vector<int>& remaining,
         std::vector<Cut>& cuts) {
  const int whole = std::min(wanted, wholeTimes(column, remaining));
  if (whole > 0) {
    subtract(column, whole, remaining);
    cuts.push_back({column, whole});
  }
  int cut = whole;
  for (; cut < wanted; ++cut) {
    Column part = withinDemand(instance, column, remaining);
    if (part.sizes.empty()) break;
    subtract(part, 1, remaining);
    cuts.push_back({std::move(part), 1});
  }
  return cut;
}

void cutGreedily(const Instance& instance, RowPricing& pricing, std::vector<int>& remaining,
                 std::vector<Cut>& cuts) {
  std::vector<double> area(instance.widths.size());
  for (std::size_t i = 0; i < area.size(); ++i) {
    area[i] = instance.widths[i] * instance.millimetres[i];
  }
  while (!allCut(remaining)) {
    const RowPricing::Scan scan = pricing.scan(area, remaining, 0, true, true);
    Column column;
    if (!scan.candidates.empty()) {
      column = withinDemand(instance, pricing.fill(scan.candidates.back().length), remaining);
    }
    if (column.sizes.empty()) {
      // Never for pieces that fit a sheet; a piece alone keeps the plan whole regardless.
      const auto left = static_cast<std::size_t>(
          std::find_if(remaining.begin(), remaining.end(), [](int n) { return n > 0; }) -
          remaining.begin());
      column = {instance.millimetres[left], {{left, 1}}, {{instance.widths[left], {{left, 1}}}}};
    }
    take(instance, column, std::max(1, wholeTimes(column, remaining)), remaining, cuts);
  }
}

Column sheetOfRows(const Instance& instance, std::vector<Row> rows) {
  Column column;
  std::map<std::size_t, int> sizes;
  for (const Row& row : rows) {
    double used = 0;
    for (const auto& [size, count] : row.pieces) {
      used += instance.millimetres[size] * count;
      sizes[size] += count;
    }
    column.length = std::max(column.length, used);
  }
  column.sizes.assign(sizes.begin(), sizes.end());
  column.rows = std::move(rows);
  return column;
}

double coilLengthOf(const std::vector<Cut>& cuts) {
  double length = 0;
  for (const Cut& cut : cuts) length += cut.times * cut.column.length;
  return length;
}

std::vector<Cut> roundedCuts(PatternMaster& master, RowPricing& pricing, const Instance& instance,
                             double goodEnough, bool sequential, double inHand) {
  std::vector<int> remaining = instance.demand;
  std::vector<Cut> cuts;
  std::vector<Cut> greedyTail;
  int dives = 0;
  for (int pass = 0; pass < kRoundingPasses + kDiveSteps && !allCut(remaining); ++pass) {
    const std::vector<double> usage = master.usage();
    std::vector<std::size_t> order(usage.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&usage](std::size_t a, std::size_t b) { return usage[a] > usage[b]; });
    bool fixed = false;
    for (const std::size_t p : order) {
      const int wanted = static_cast<int>(std::floor(usage[p] + 1e-9));
      if (wanted <= 0) break;
      fixed = take(instance, master.columns()[p], wanted, remaining, cuts) > 0 || fixed;
    }
    if (!fixed) {
      if (greedyTail.empty()) {
        std::vector<int> left = remaining;
        greedyTail = cuts;
        cutGreedily(instance, pricing, left, greedyTail);
        // On large orders the rest is a sliver of the coil: no dive makes up its cost.
        if (coilLengthOf(greedyTail) <= goodEnough) return greedyTail;
      }
      if (order.empty() || usage[order.front()] <= 1e-9 || ++dives > kDiveSteps) break;
      take(instance, master.columns()[order.front()], 1, remaining, cuts);
    }
    if (allCut(remaining)) break;
    master.setDemand(remaining);
    const Relaxation rest = generateColumns(master, pricing, remaining, sequential);
    // No sheet cut so far comes back: once they and the least the rest can take reach the
    // plan in hand, diving on cannot beat it.
    if (!greedyTail.empty() &&
        coilLengthOf(cuts) + rest.bound >= std::min(inHand, coilLengthOf(greedyTail))) {
      return greedyTail;
    }
  }
  cutGreedily(instance, pricing, remaining, cuts);
  if (!greedyTail.empty() && coilLengthOf(greedyTail) < coilLengthOf(cuts)) return greedyTail;
  return cuts;
}

}  // namespace kvm::coil
