#pragma once

#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>

#include "dispatch/dispatch.h"
#include "platform/script/call_player.h"
#include "session/process.h"

namespace kvm {
class SettingsStore;
}

namespace kvm::script {

struct SessionOptions {
  // The session's own folder (--home): the program directory and the settings store go there.
  std::optional<std::filesystem::path> home;
  // How the component object is made; in-process by default.
  std::function<DispatchPtr(std::shared_ptr<ProcessContext>)> createComponent;
  // A component made elsewhere keeps its own stores: the session must then act on those. When
  // set, these replace the settings file and the program directory root that `home` implies.
  std::shared_ptr<SettingsStore> settings{};
  std::optional<std::filesystem::path> programDirectoryRoot{};
  // Plays the dialogs when the component shows them on windows of its own.
  std::shared_ptr<CallPlayer> player{};
};

// Plays one host script against the simulated host and prints its events. Returns the exit
// status: 0 when the script ran to its end, 2 when a step could not be run (the reason is then
// the last line, {"error": "..."}).
int runScript(std::istream& script, std::ostream& events, const SessionOptions& options);

}  // namespace kvm::script
