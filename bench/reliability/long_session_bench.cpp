// The long working day in-process: 100,000 calls (start-up, a bill of 676 flashings, one
// flashing of 8192 lines, then every method in turn with the dialogs opened and closed), its
// pace and the heap at every 10,000 calls. The settings dialog stores its selection at each
// close and waits for the disk, so the processor time is the measure of the component.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "apps/kavelmor/script/script_session.h"
#include "tests/reliability/heap_in_use.h"
#include "tests/reliability/long_session.h"

namespace kvm {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCalls = 100000;
constexpr std::size_t kCheckpoint = 10000;

void BM_LongSession(benchmark::State& state) {
  const std::string script = testing::longSessionScript(kCalls);
  const fs::path home =
      fs::temp_directory_path() / ("kvm-long-bench-" + std::to_string(::getpid()));
  std::vector<std::size_t> heap;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(home);
    fs::create_directories(home);
    heap.clear();
    state.ResumeTiming();
    testing::SessionEvents events(kCheckpoint,
                                  [&](std::size_t) { heap.push_back(testing::heapInUse()); });
    std::istringstream in(script);
    std::ostream out(&events);
    const int status = script::runScript(in, out, {home, {}});
    if (status != 0 || events.calls() != kCalls || events.errorCount() != 0) {
      state.SkipWithError(events.lastLine().c_str());
      break;
    }
  }
  fs::remove_all(home);
  if (heap.size() != kCalls / kCheckpoint) {
    return;
  }
  // By the second checkpoint the bill and the long flashing are done; from the third on the
  // day's calls repeat, and what the heap holds more at the end is what they kept.
  const auto kib = [](std::size_t bytes) { return static_cast<double>(bytes) / 1024; };
  for (std::size_t i = 0; i < heap.size(); i += 3) {
    state.counters["heap_KiB_at_" + std::to_string((i + 1) * kCheckpoint / 1000) + "k"] =
        kib(heap[i]);
  }
  constexpr std::size_t kWarmUp = 2;
  state.counters["growth_B_per_10k_calls"] =
      (static_cast<double>(heap.back()) - static_cast<double>(heap[kWarmUp])) /
      static_cast<double>(heap.size() - 1 - kWarmUp);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kCalls));
}

BENCHMARK(BM_LongSession)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kvm
