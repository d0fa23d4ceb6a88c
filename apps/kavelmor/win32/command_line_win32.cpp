// The Windows side of the command line: binary standard output and the script runner's
// --com mode.
#include "platform/win32/windows_headers.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "apps/kavelmor/platform_commands.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/script/json_lines_sink.h"
#include "platform/win32/com_client.h"
#include "platform/win32/com_component.h"
#include "platform/win32/player/window_player.h"
#include "platform/win32/registry_settings_store.h"
#include "storage/settings_store.h"

namespace kvm::cli {

namespace {

std::filesystem::path programFolder() {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      raise(err::kFileNotFound);
    }
    if (length < buffer.size()) {
      return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Where the server puts its program directory when nobody points it elsewhere.
std::filesystem::path systemDrive() {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  const DWORD length =
      GetEnvironmentVariableW(L"systemdrive", buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) {
    return {};
  }
  return std::filesystem::path(buffer.data());
}

}  // namespace

void prepareStandardOutput() {
  std::fflush(stdout);
  static_cast<void>(_setmode(_fileno(stdout), _O_BINARY));
}

int runScriptThroughCom(std::istream& script, std::ostream& events,
                        script::SessionOptions options) {
  try {
    const win32::ComApartment apartment;
    // The server's test build: the shipped one has no entry to install the runner's desktop.
    const std::filesystem::path dll = programFolder() / L"KavelmorTest.dll";
    const win32::InProcessServer server(dll);
    // The server reads and writes the registry: the session's steps and dumps act there.
    auto settings = std::make_shared<win32::RegistrySettingsStore>();
    std::optional<win32::IsolatedRegistrySettings> isolated;
    if (options.home) {
      isolated.emplace(*settings);
    }
    options.settings = settings;
    options.programDirectoryRoot = options.home ? *options.home : systemDrive();
    // The dialogs show on real windows; a second thread plays the user's part on them.
    auto player = std::make_shared<win32::WindowPlayer>(server, events);
    options.player = player;
    options.createComponent = win32::comComponentFactory(dll, player->reports());
    const int status = script::runScript(script, events, options);
    // The session's desktop ends with the session.
    server.installDesktop(nullptr);
    return status;
  } catch (const RuntimeError& error) {
    script::JsonLinesSink(events).emit(
        {{"error", "the component cannot be used through COM: " + toUtf8(error.description())}});
    return 2;
  }
}

}  // namespace kvm::cli
