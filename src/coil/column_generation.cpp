#include "coil/column_generation.h"

#include <algorithm>
#include <utility>

namespace kvm::coil {

namespace {

constexpr std::size_t kColumnsPerRound = 30;

}  // namespace

Relaxation generateColumns(PatternMaster& master, RowPricing& pricing,
                           const std::vector<int>& demand, bool sequential) {
  Relaxation relaxation;
  for (int round = 0; round < kPricingRounds; ++round) {
    master.solve();
    const std::vector<double> duals = master.duals();
    const RowPricing::Scan scan =
        pricing.scan(duals, demand, kImproving, false, sequential, kColumnsPerRound);
    relaxation.bound =
        std::max(relaxation.bound, master.objective() / std::max(1.0, scan.steepest));
    std::vector<std::pair<double, int>> improving;
    for (const RowPricing::Candidate& candidate : scan.candidates) {
      improving.emplace_back(pricing.millimetresAlong(candidate.length) - candidate.value,
                             candidate.length);
    }
    std::sort(improving.begin(), improving.end());
    improving.resize(std::min(improving.size(), kColumnsPerRound));
    std::vector<Column> columns;
    for (const auto& [reducedCost, length] : improving) {
      Column column = pricing.fill(length);
      if (!column.sizes.empty() && !master.has(column.sizes)) columns.push_back(std::move(column));
    }
    // Only known patterns pricing out is the solver's rounding, not a better relaxation.
    if (columns.empty()) return {master.objective(), true};
    master.add(std::move(columns));
  }
  return relaxation;
}

}  // namespace kvm::coil
