// Finding lines drawn twice among 1,000,000 flashing lines of one layer: a grid of separate
// lines, a ridge of a million pieces end to end on one line, and lines at every angle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/workshop/project/plan_checks.h"

namespace {

constexpr int kLines = 1'000'000;

using kvm::workshop::PlanLine;

std::vector<PlanLine> grid() {
  std::vector<PlanLine> lines;
  lines.reserve(kLines);
  for (int i = 0; i < kLines; ++i) {
    const int row = i / 1000;  // of 1000 lines
    const double x = (i % 1000) * 6000.0;
    const double y = row * 1500.0;
    lines.push_back({x, y, x + 5000.0 + (i % 7), y + 0.5});
  }
  return lines;
}

std::vector<PlanLine> endToEnd() {
  std::vector<PlanLine> lines;
  lines.reserve(kLines);
  for (int i = 0; i < kLines; ++i) {
    lines.push_back({i * 100.0, 7400, (i + 1) * 100.0, 7400});
  }
  return lines;
}

std::vector<PlanLine> anyAngle() {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> place(0, 1e6);
  std::uniform_real_distribution<double> turn(0, 2 * 3.141592653589793);
  std::vector<PlanLine> lines;
  lines.reserve(kLines);
  for (int i = 0; i < kLines; ++i) {
    const double x = place(random);
    const double y = place(random);
    const double angle = turn(random);
    lines.push_back({x, y, x + 3000 * std::cos(angle), y + 3000 * std::sin(angle)});
  }
  return lines;
}

template <std::vector<PlanLine> (*Make)()>
void BM_FindOverlaps(benchmark::State& state) {
  const std::vector<PlanLine> lines = Make();
  std::size_t found = 0;
  for (auto _ : state) {
    found = kvm::workshop::findOverlaps(lines).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["overlaps"] = static_cast<double>(found);
  state.SetItemsProcessed(static_cast<std::int64_t>(lines.size()) * state.iterations());
}

BENCHMARK(BM_FindOverlaps<grid>)->Name("find_overlaps/grid")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOverlaps<endToEnd>)
    ->Name("find_overlaps/end_to_end")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOverlaps<anyAngle>)
    ->Name("find_overlaps/any_angle")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
