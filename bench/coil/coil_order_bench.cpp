// The coil order of 676 kinds of piece, all colours, pieces laid on rows, must take under 5 s
// on one core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

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

}  // namespace

BENCHMARK_MAIN();
