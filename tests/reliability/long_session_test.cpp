// A long session through the runner, under the sanitizers of the test build: every call ends
// as a result or as its method's own failure, the heap stops growing once the bill is drawn,
// and the end leaves nothing held (the leak checker runs when the program exits).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "apps/kavelmor/script/script_session.h"
#include "tests/reliability/heap_in_use.h"
#include "tests/reliability/long_session.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCalls = 100000;
constexpr std::size_t kCheckpoint = 10000;

TEST(LongSession, a_hundred_thousand_calls_end_without_a_stop_or_a_failed_call) {
  const auto home = fs::temp_directory_path() / ("kvm-long-" + std::to_string(::getpid()));
  fs::remove_all(home);
  fs::create_directories(home);
  std::vector<std::size_t> heap;
  SessionEvents events(kCheckpoint, [&](std::size_t) { heap.push_back(heapInUse()); });
  int status = 0;
  {
    std::istringstream script(longSessionScript(kCalls));
    std::ostream out(&events);
    status = kvm::script::runScript(script, out, {home, {}});
  }
  fs::remove_all(home);
  ASSERT_EQ(status, 0) << events.lastLine();
  EXPECT_EQ(events.calls(), kCalls);
  EXPECT_EQ(events.errorCount(), 0U);
  for (const std::string& error : events.errors()) {
    ADD_FAILURE() << error;
  }

  // The bill and the long flashing are done by 20,000 calls; from the third checkpoint on,
  // the day's calls repeat and must not keep anything.
  ASSERT_EQ(heap.size(), kCalls / kCheckpoint);
  std::ostringstream trace;
  for (std::size_t i = 0; i < heap.size(); ++i) {
    trace << (i + 1) * kCheckpoint << " calls: " << heap[i] / 1024 << " KiB\n";
  }
  constexpr std::size_t kWarmUp = 2;
  const double perCheckpoint =
      (static_cast<double>(heap.back()) - static_cast<double>(heap[kWarmUp])) /
      static_cast<double>(heap.size() - 1 - kWarmUp);
  EXPECT_LT(perCheckpoint, 16.0 * 1024) << "bytes kept per 10,000 calls\n" << trace.str();
  std::cout << trace.str();
}

}  // namespace
}  // namespace kvm::testing
