// A long session through the runner, under the sanitizers of the test build: every call ends
// as a result or as its method's own failure, and the end leaves nothing held (the leak
// checker runs when the program exits).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "apps/kavelmor/script/script_session.h"
#include "tests/reliability/long_session.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;

TEST(LongSession, a_hundred_thousand_calls_end_without_a_stop_or_a_failed_call) {
  const auto home = fs::temp_directory_path() / ("kvm-long-" + std::to_string(::getpid()));
  fs::remove_all(home);
  fs::create_directories(home);
  std::istringstream script(longSessionScript(100000));
  std::ostringstream events;
  const int status = kvm::script::runScript(script, events, {home, {}});
  fs::remove_all(home);
  const std::string out = events.str();
  ASSERT_EQ(status, 0) << out.substr(out.size() > 2000 ? out.size() - 2000 : 0);

  std::istringstream lines(out);
  std::size_t results = 0;
  std::string line;
  while (std::getline(lines, line)) {
    EXPECT_EQ(line.find(R"("error")"), std::string::npos) << line;
    results += line.find(R"("call")") != std::string::npos ? 1U : 0U;
  }
  EXPECT_EQ(results, 100000U);
}

}  // namespace
}  // namespace kvm::testing
