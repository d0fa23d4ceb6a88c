// The coil order of 676 kinds of piece, all colours, pieces laid on rows, must take under 5 s
// on one core. Orders of narrow strips, each line's rest a size of its own, are timed beside it:
// they are where the relaxation needs the most patterns.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <utility>

#include "coil/coil_order.h"

namespace {

// 676 piece kinds spread over five colours and two thicknesses, sized like a large bill.
std::vector<kvm::CoilGroup> largeBill() {
  const std::vector<std::string> colours{"天蓝色", "白色", "深灰", "砖红", "海蓝"};
  std::vector<kvm::CoilGroup> groups;
  groups.reserve(colours.size() + 1);
  for (const std::string& colour : colours) {
    groups.push_back({colour, 0.5, 1250, 10, {}});
  }
  groups.push_back({"白色", 0.6, 1250, 10, {}});
  std::mt19937 random(676);
  for (int k = 0; k < 676; ++k) {
    const double width = std::uniform_int_distribution<int>(150, 900)(random);
    const double length = std::uniform_int_distribution<int>(1000, 6000)(random);
    const int count = std::uniform_int_distribution<int>(1, 40)(random);
    groups[static_cast<std::size_t>(k) % groups.size()].pieces.push_back(
        {"F" + std::to_string(k), width, length, count});
  }
  return groups;
}

void coilOrderOfALargeBill(benchmark::State& state) {
  const std::vector<kvm::CoilGroup> groups = largeBill();
  double coil = 0;
  double worstGap = 0;
  for (auto _ : state) {
    coil = 0;
    worstGap = 0;
    for (const kvm::CoilGroup& group : groups) {
      const kvm::CoilPlan plan = kvm::planCoil(group);
      coil += plan.coilLength;
      worstGap = std::max(worstGap, 100 * (plan.coilLength / plan.lpBound - 1));
      benchmark::DoNotOptimize(plan);
    }
  }
  state.counters["coil_m"] = coil / 1000;
  state.counters["worst_gap_pct"] = worstGap;
}
BENCHMARK(coilOrderOfALargeBill)->Unit(benchmark::kMillisecond);

// 486 lines of 20 narrow flashings (60 to 250 mm developed), 0.8 to 15 m long, cut into pieces
// of at most 4 m: the full pieces of a width are one size, every rest a size of its own.
kvm::CoilGroup narrowStrips() {
  kvm::CoilGroup group{"白色", 0.5, 1250, 10, {}};
  std::mt19937 random(486);
  std::map<std::pair<int, int>, int> sizes;
  for (int flashing = 0; flashing < 20; ++flashing) {
    const int width = std::uniform_int_distribution<int>(60, 250)(random);
    for (int line = 0; line < (flashing < 6 ? 24 : 25); ++line) {
      const int length = std::uniform_int_distribution<int>(800, 15000)(random);
      if (length / 4000 > 0) sizes[{width, 4000}] += length / 4000;
      if (length % 4000 >= 100) ++sizes[{width, length % 4000}];
    }
  }
  for (const auto& [size, count] : sizes) {
    group.pieces.push_back({"F" + std::to_string(size.first), static_cast<double>(size.first),
                            static_cast<double>(size.second), count});
  }
  return group;
}

void coilOrderOfNarrowStrips(benchmark::State& state) {
  const kvm::CoilGroup group = narrowStrips();
  kvm::CoilPlan plan;
  for (auto _ : state) {
    plan = kvm::planCoil(group);
    benchmark::DoNotOptimize(plan);
  }
  state.counters["sizes"] = static_cast<double>(group.pieces.size());
  state.counters["coil_m"] = plan.coilLength / 1000;
  state.counters["gap_pct"] = plan.gapPercent;
}
BENCHMARK(coilOrderOfNarrowStrips)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
