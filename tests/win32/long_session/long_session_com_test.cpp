// The long working day through COM, made as the CAD host makes it: the server DLL registered,
// the component created by its ProgID, the simulated host handed to it as IDispatch objects.
// Afterwards the server may unload (no object and no lock left), this program's objects that
// the server was given are all released, and the process's private bytes stay flat.
//
//   win32_long_session.exe [--calls=N] [gtest options]     (N: 100000 by default)
#include "platform/win32/windows_headers.h"

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "apps/kavelmor/script/script_session.h"
#include "platform/win32/com_client.h"
#include "platform/win32/com_component.h"
#include "platform/win32/dispatch_com_object.h"
#include "platform/win32/registry_settings_store.h"
#include "tests/reliability/long_session.h"

namespace kvm::win32 {
namespace {

namespace fs = std::filesystem;

std::size_t gCalls = 100000;
constexpr std::size_t kCheckpoint = 10000;

fs::path besideThisProgram(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768, L'\0');
  GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  return fs::path(buffer.data()).parent_path() / name;
}

struct ProcessMemory {
  std::size_t privateBytes = 0;
  std::size_t workingSet = 0;
};

ProcessMemory processMemory() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof(counters))) {
    return {};
  }
  // Windows gives the private bytes in both fields; wine only in the older one.
  return {std::max(counters.PrivateUsage, counters.PagefileUsage), counters.WorkingSetSize};
}

// The server keeps its settings in the user's registry: the session starts from none, and
// what was there before is put back.
class IsolatedRegistry {
 public:
  explicit IsolatedRegistry(RegistrySettingsStore& store)
      : store_(store), saved_(store.snapshot()) {
    store_.removeAll();
  }
  IsolatedRegistry(const IsolatedRegistry&) = delete;
  IsolatedRegistry& operator=(const IsolatedRegistry&) = delete;
  IsolatedRegistry(IsolatedRegistry&&) = delete;
  IsolatedRegistry& operator=(IsolatedRegistry&&) = delete;
  ~IsolatedRegistry() {
    store_.removeAll();
    for (const auto& [key, value] : saved_.settings) {
      store_.save(key, value);
    }
    if (saved_.registry) {
      for (const auto& [name, value] : *saved_.registry) {
        store_.registrySet(name, value);
      }
    }
  }

 private:
  RegistrySettingsStore& store_;
  SettingsSnapshot saved_;
};

TEST(LongSessionThroughCom, every_call_ends_and_the_server_lets_go_of_everything) {
  const InProcessServer server(besideThisProgram(L"Kavelmor.dll"));
  const fs::path home = fs::temp_directory_path() / L"kvm-long-session";
  fs::remove_all(home);
  fs::create_directories(home);
  auto settings = std::make_shared<RegistrySettingsStore>();
  std::vector<ProcessMemory> memory;
  const long before = AutomationObject::liveObjects();
  long held = before;
  testing::SessionEvents events(kCheckpoint, [&](std::size_t) {
    memory.push_back(processMemory());
    held = std::max(held, AutomationObject::liveObjects());
  });
  int status = 0;
  {
    const IsolatedRegistry isolated(*settings);
    script::SessionOptions options;
    options.home = home;
    options.settings = settings;
    options.programDirectoryRoot = home;
    options.createComponent = comComponentFactory(server.path());
    std::istringstream script(testing::longSessionScript(gCalls, testing::SessionDialogs::LeftOut));
    std::ostream out(&events);
    status = script::runScript(script, out, options);
    server.installDesktop(nullptr);
  }
  fs::remove_all(home);

  ASSERT_EQ(status, 0) << events.lastLine();
  EXPECT_EQ(events.calls(), gCalls);
  EXPECT_EQ(events.errorCount(), 0U);
  for (const std::string& error : events.errors()) {
    ADD_FAILURE() << error;
  }
  // DllCanUnloadNow: no component object, class object or lock is left; the server then
  // drops what it kept of the host too.
  EXPECT_TRUE(server.canUnloadNow());
  EXPECT_GT(held, before) << "the server was never seen holding the host's objects";
  EXPECT_EQ(AutomationObject::liveObjects(), before) << "host objects the server still holds";

  std::ostringstream trace;
  for (std::size_t i = 0; i < memory.size(); ++i) {
    trace << (i + 1) * kCheckpoint << " calls: " << memory[i].privateBytes / 1024
          << " KiB private, " << memory[i].workingSet / 1024 << " KiB working set\n";
  }
  std::cout << trace.str();
  // The bill and the long flashing are done by 20,000 calls; after that the day's calls
  // repeat and must not keep anything.
  constexpr std::size_t kWarmUp = 2;
  if (memory.size() > kWarmUp + 1) {
    const double perCheckpoint = (static_cast<double>(memory.back().privateBytes) -
                                  static_cast<double>(memory[kWarmUp].privateBytes)) /
                                 static_cast<double>(memory.size() - 1 - kWarmUp);
    EXPECT_LT(perCheckpoint, 256.0 * 1024) << "bytes kept per 10,000 calls\n" << trace.str();
  }
}

}  // namespace
}  // namespace kvm::win32

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  constexpr std::string_view kCallsOption = "--calls=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument.starts_with(kCallsOption)) {
      const std::string_view number = argument.substr(kCallsOption.size());
      const auto [end, error] =
          std::from_chars(number.data(), number.data() + number.size(), kvm::win32::gCalls);
      if (error != std::errc{} || end != number.data() + number.size()) {
        std::cerr << "--calls needs a whole number\n";
        return 2;
      }
    }
  }
  // A single-threaded apartment, as the CAD host calls the component from.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
