// Reading a plan of 1,000,000 LINE entities (about 100 MB of ASCII DXF) against reading the
// same bytes and splitting them into lines with the standard library; and the reader's heap
// while it streams through the file, and through one polyline of 3,000,000 vertices.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/dxf/plan_reader.h"

namespace {

constexpr int kLines = 1'000'000;

// Written once per run, as a release-12 program writes it: layer and both points.
const std::filesystem::path& planFile() {
  static const std::filesystem::path file = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("kavelmor-bench-plan-" + std::to_string(::getpid()) + ".dxf");
    std::ofstream out(path, std::ios::binary);
    out << "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n"
           "  9\r\n$INSUNITS\r\n 70\r\n     4\r\n  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\n"
           "ENTITIES\r\n";
    std::array<char, 512> entity{};
    for (int i = 0; i < kLines; ++i) {
      const int column = i % 1000;
      const int row = i / 1000;  // a grid of 1000 lines a row
      const double x = column * 6000.0;
      const double y = row * 1500.0;
      const int size = std::snprintf(
          entity.data(), entity.size(),
          "  0\r\nLINE\r\n  8\r\nBJ-%d\r\n 10\r\n%.1f\r\n 20\r\n%.1f\r\n 30\r\n0.0\r\n"
          " 11\r\n%.1f\r\n 21\r\n%.1f\r\n 31\r\n0.0\r\n",
          i % 8, x, y, x + 5000.0 + (i % 7), y + 0.5);
      out.write(entity.data(), size);
    }
    out << "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    return path;
  }();
  return file;
}

constexpr int kVertices = 3'000'000;

// One LWPOLYLINE of 3,000,000 vertices (about 90 MB), a bulge on every tenth: the reader
// draws it from the file vertex by vertex, so its heap must not grow with it.
std::filesystem::path polylinePath() {
  return std::filesystem::temp_directory_path() /
         ("kavelmor-bench-polyline-" + std::to_string(::getpid()) + ".dxf");
}

const std::filesystem::path& polylineFile() {
  static const std::filesystem::path file = [] {
    auto path = polylinePath();
    std::ofstream out(path, std::ios::binary);
    out << "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLWPOLYLINE\r\n  8\r\nBJ-EAVE\r\n"
           " 90\r\n"
        << kVertices << "\r\n 70\r\n     1\r\n";
    std::array<char, 128> vertex{};
    for (int i = 0; i < kVertices; ++i) {
      const int step = i / 2;  // a zigzag: up and across, 10 apart
      const int size =
          std::snprintf(vertex.data(), vertex.size(), " 10\r\n%.1f\r\n 20\r\n%.1f\r\n%s",
                        step * 10.0, (i % 2) * 5.0, i % 10 == 0 ? " 42\r\n0.1\r\n" : "");
      out.write(vertex.data(), size);
    }
    out << "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    return path;
  }();
  return file;
}

void BM_GetlineSplitting(benchmark::State& state) {
  const auto bytes = std::filesystem::file_size(planFile());
  for (auto _ : state) {
    std::ifstream in(planFile(), std::ios::binary);
    std::string line;
    std::size_t lines = 0;
    while (std::getline(in, line)) {
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_PlanTakeoff(benchmark::State& state) {
  const auto bytes = std::filesystem::file_size(planFile());
  std::size_t peak = 0;
  std::size_t early = 0;
  std::size_t late = 0;
  struct HeapWatch : kvm::dxf::FlashingLineSink {
    std::size_t& peak;
    std::size_t seen = 0;
    std::size_t early = 0;  // the heap after 100,000 lines
    std::size_t late = 0;   // after the last 100,000
    explicit HeapWatch(std::size_t& p) : peak(p) {}
    void add(std::size_t /*layer*/, const kvm::dxf::FlashingLine& /*line*/) override {
      if (++seen % 100'000 == 0) {
        const std::size_t heap = mallinfo2().uordblks;
        peak = std::max(peak, heap);
        if (seen == 100'000) {
          early = heap;
        }
        late = heap;
      }
    }
  };
  for (auto _ : state) {
    HeapWatch watch(peak);
    const kvm::dxf::PlanTakeoff takeoff = kvm::dxf::readPlan(planFile(), {}, &watch);
    benchmark::DoNotOptimize(takeoff.layers.size());
    early = watch.early;
    late = watch.late;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["heap_peak_KiB"] = static_cast<double>(peak) / 1024;
  state.counters["heap_100k_B"] = static_cast<double>(early);
  state.counters["heap_1M_B"] = static_cast<double>(late);
}

void BM_LongPolylineTakeoff(benchmark::State& state) {
  const auto bytes = std::filesystem::file_size(polylineFile());
  struct HeapWatch : kvm::dxf::FlashingLineSink {
    std::size_t seen = 0;
    std::size_t peak = 0;
    void add(std::size_t /*layer*/, const kvm::dxf::FlashingLine& /*line*/) override {
      if (++seen % 100'000 == 0) {
        peak = std::max(peak, mallinfo2().uordblks);
      }
    }
  };
  std::size_t peak = 0;
  for (auto _ : state) {
    HeapWatch watch;
    const kvm::dxf::PlanTakeoff takeoff = kvm::dxf::readPlan(polylineFile(), {}, &watch);
    benchmark::DoNotOptimize(takeoff.layers.size());
    peak = std::max(peak, watch.peak);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["heap_peak_KiB"] = static_cast<double>(peak) / 1024;
}

BENCHMARK(BM_GetlineSplitting)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlanTakeoff)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LongPolylineTakeoff)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(planFile());
  std::filesystem::remove(polylinePath());
  return 0;
}
