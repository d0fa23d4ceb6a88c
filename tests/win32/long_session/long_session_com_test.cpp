// The long working day through COM, made as the CAD host makes it: the server DLL registered,
// the component created by its ProgID, the simulated host handed to it as IDispatch objects.
// Afterwards the server may unload (no object and no lock left), this program's objects that
// the server was given are all released, and the process's private bytes stay flat.
//
//   win32_long_session.exe [--calls=N] [--dialog-calls=M] [gtest options]
//
// N calls without dialogs (100,000 by default), M calls with them (260 by default).
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
#include "platform/win32/player/window_player.h"
#include "platform/win32/registry_settings_store.h"
#include "tests/reliability/long_session.h"

namespace kvm::win32 {
namespace {

namespace fs = std::filesystem;

std::size_t gCalls = 100000;     // the day without dialogs
std::size_t gDialogCalls = 260;  // the day with them
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

struct SessionResult {
  int status = 0;
  std::size_t calls = 0;
  std::size_t errorCount = 0;
  std::vector<std::string> errors;
  std::string lastLine;
  bool canUnload = false;
  long heldMost = 0;   // host objects the server held at most, at the checkpoints
  long heldAfter = 0;  // and after the end
  std::vector<ProcessMemory> memory;
};

// Plays the session through the DLL's test build beside this program (the shipped server with
// the entries that install this desktop); with the dialogs, on real windows with a second
// thread playing the user.
SessionResult playThroughCom(std::size_t calls, std::size_t checkpoint,
                             testing::SessionDialogs dialogs, testing::SessionBill bill) {
  const InProcessServer server(besideThisProgram(L"KavelmorTest.dll"));
  const fs::path home = fs::temp_directory_path() / L"kvm-long-session";
  fs::remove_all(home);
  fs::create_directories(home);
  auto settings = std::make_shared<RegistrySettingsStore>();
  SessionResult result;
  const long before = AutomationObject::liveObjects();
  result.heldMost = before;
  testing::SessionEvents events(checkpoint, [&](std::size_t) {
    result.memory.push_back(processMemory());
    result.heldMost = std::max(result.heldMost, AutomationObject::liveObjects());
  });
  {
    const IsolatedRegistrySettings isolated(*settings);
    std::ostream out(&events);
    script::SessionOptions options;
    options.home = home;
    options.settings = settings;
    options.programDirectoryRoot = home;
    std::shared_ptr<WindowPlayer> player;
    if (dialogs == testing::SessionDialogs::Shown) {
      player = std::make_shared<WindowPlayer>(server, out);
      options.player = player;
      options.createComponent = comComponentFactory(server.path(), player->reports());
    } else {
      options.createComponent = comComponentFactory(server.path());
    }
    std::istringstream script(testing::longSessionScript(calls, dialogs, bill));
    result.status = script::runScript(script, out, options);
    server.installDesktop(nullptr);
  }
  fs::remove_all(home);
  result.calls = events.calls();
  result.errorCount = events.errorCount();
  result.errors = events.errors();
  result.lastLine = events.lastLine();
  // DllCanUnloadNow: no component object, class object or lock is left; the server then
  // drops what it kept of the host too.
  result.canUnload = server.canUnloadNow();
  result.heldMost -= before;
  result.heldAfter = AutomationObject::liveObjects() - before;
  return result;
}

void expectAllReleased(const SessionResult& result, std::size_t calls) {
  ASSERT_EQ(result.status, 0) << result.lastLine;
  EXPECT_EQ(result.calls, calls);
  EXPECT_EQ(result.errorCount, 0U);
  for (const std::string& error : result.errors) {
    ADD_FAILURE() << error;
  }
  EXPECT_TRUE(result.canUnload);
  EXPECT_GT(result.heldMost, 0) << "the server was never seen holding the host's objects";
  EXPECT_EQ(result.heldAfter, 0) << "host objects the server still holds";
}

// After `warmUp` checkpoints the session's calls repeat and must not keep anything.
void expectFlatMemory(const SessionResult& result, std::size_t checkpoint, std::size_t warmUp) {
  const auto& memory = result.memory;
  std::ostringstream trace;
  for (std::size_t i = 0; i < memory.size(); ++i) {
    trace << (i + 1) * checkpoint << " calls: " << memory[i].privateBytes / 1024 << " KiB private, "
          << memory[i].workingSet / 1024 << " KiB working set\n";
  }
  std::cout << trace.str();
  ASSERT_GT(memory.size(), warmUp + 1) << "too short a session to see the memory settle";
  const double perCheckpoint = (static_cast<double>(memory.back().privateBytes) -
                                static_cast<double>(memory[warmUp].privateBytes)) /
                               static_cast<double>(memory.size() - 1 - warmUp);
  EXPECT_LT(perCheckpoint, 256.0 * 1024) << "bytes kept per " << checkpoint << " calls\n"
                                         << trace.str();
}

TEST(LongSessionThroughCom, without_dialogs_every_call_ends_and_the_server_lets_go) {
  constexpr std::size_t kCheckpoint = 10000;
  const SessionResult result = playThroughCom(gCalls, kCheckpoint, testing::SessionDialogs::LeftOut,
                                              testing::SessionBill::Drawn);
  expectAllReleased(result, gCalls);
  // The bill and the long flashing are done by 20,000 calls.
  expectFlatMemory(result, kCheckpoint, 2);
}

// The dialogs are real windows (this needs a screen) and each takes the player a while, so
// this day has no bill and is short: by default 20 rounds of every method, 80 dialogs.
TEST(LongSessionThroughCom, with_dialogs_on_windows_every_call_ends_and_the_server_lets_go) {
  constexpr std::size_t kRound = 13;
  const std::size_t calls = gDialogCalls;
  const SessionResult result =
      playThroughCom(calls, kRound, testing::SessionDialogs::Shown, testing::SessionBill::LeftOut);
  expectAllReleased(result, calls);
  expectFlatMemory(result, kRound, 3);
}

}  // namespace
}  // namespace kvm::win32

namespace {

// Reads --NAME=N into `value`; false when the number is not a whole number.
bool readCount(std::string_view argument, std::string_view option, std::size_t& value) {
  if (!argument.starts_with(option)) {
    return true;
  }
  const std::string_view number = argument.substr(option.size());
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  return error == std::errc{} && end == number.data() + number.size();
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (!readCount(argument, "--calls=", kvm::win32::gCalls) ||
        !readCount(argument, "--dialog-calls=", kvm::win32::gDialogCalls)) {
      std::cerr << argument << ": a whole number is needed\n";
      return 2;
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
