#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "dispatch/dispatch.h"
#include "platform/script/answer_queue.h"
#include "platform/script/event_sink.h"
#include "platform/sim/host/model_space.h"
#include "platform/sim/host/sim_host.h"
#include "platform/sim/ui/scripted_ui.h"
#include "session/process.h"
#include "storage/settings_store.h"
#include "ui/ui.h"

namespace kvm::sim {

// What the user would have read on the desktop and the command line during a call.
class NoteCollector final : public script::EventSink {
 public:
  void emit(nlohmann::json event) override;

  // The message boxes and command-line notes since the last call, oldest first.
  std::vector<std::u16string> take();

 private:
  std::vector<std::u16string> notes_;
};

// The host's side of one session: the simulated CAD program with a drawing open, the scripted
// desktop that plays the user's part in dialogs, the settings store and program directory
// under `home`, and the component object once started. `drawing` configures the drawing as
// the host's own configuration does (its layers and text styles).
class HostSession {
 public:
  HostSession(const std::filesystem::path& home, const CalendarDate& today,
              const nlohmann::json& drawing);
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;
  HostSession(HostSession&&) = delete;
  HostSession& operator=(HostSession&&) = delete;
  ~HostSession();  // releases the component, which runs its end

  // Creates the component and runs its start-up with the application object.
  void startComponent();

  // Calls a method of the component by name. `actions` play the user's part while the call
  // shows dialogs; a dialog still open when they run out stops with script::ScriptStop.
  Variant call(std::u16string_view method, std::vector<Variant> args,
               const nlohmann::json& actions = nlohmann::json::array());

  [[nodiscard]] DispatchPtr application() const { return host_.application(); }
  [[nodiscard]] SettingsStore& settings() { return *settings_; }
  [[nodiscard]] std::filesystem::path programDirectory() const;
  [[nodiscard]] DispatchPtr modelSpace() const;
  [[nodiscard]] ModelSpace& drawing() const { return *drawing_; }
  [[nodiscard]] NoteCollector& notes() { return notes_; }

 private:
  NoteCollector notes_;
  SimHost host_;
  script::AnswerQueue answers_;
  std::shared_ptr<ScriptedUi> ui_;
  std::shared_ptr<SettingsStore> settings_;
  std::shared_ptr<ProcessContext> process_;
  std::shared_ptr<ModelSpace> drawing_;
  DispatchPtr component_;
};

}  // namespace kvm::sim
