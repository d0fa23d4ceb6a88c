#include "platform/sim/session/host_session.h"

#include <stdexcept>

#include "base/text.h"
#include "host/component.h"
#include "storage/json_settings_store.h"
#include "storage/program_directory.h"

namespace kvm::sim {

void NoteCollector::emit(nlohmann::json event) {
  if (event.contains("msgbox")) {
    notes_.push_back(fromUtf8(event["msgbox"].value("text", "")));
  } else if (event.contains("prompt") && event["prompt"].is_string()) {
    notes_.push_back(fromUtf8(event["prompt"].get<std::string>()));
  }
}

std::vector<std::u16string> NoteCollector::take() {
  std::vector<std::u16string> taken;
  taken.swap(notes_);
  return taken;
}

HostSession::HostSession(const std::filesystem::path& home, const CalendarDate& today,
                         const nlohmann::json& drawing)
    : host_(notes_), settings_(std::make_shared<JsonSettingsStore>(home)) {
  host_.configure(drawing);
  ui_ = std::make_shared<ScriptedUi>(
      notes_, answers_,
      DesktopState{[] { return false; }, [](std::intptr_t, std::u16string_view) { return false; },
                   [today] { return today; }, [] { return ScreenSize{}; }});
  process_ = std::make_shared<ProcessContext>();
  process_->ui = ui_;
  process_->settings = settings_;
  process_->programDirectoryRoot = home;
  drawing_ = host_.activeModelSpace();
}

HostSession::~HostSession() {
  component_.reset();
}

void HostSession::startComponent() {
  component_ = createComponent(process_);
  call(u"dycjmw", {host_.application(), int32_t{0}, 0.0});
}

Variant HostSession::call(std::u16string_view method, std::vector<Variant> args,
                          const nlohmann::json& actions) {
  if (!component_) {
    throw std::logic_error("the component is not started");
  }
  ui_->beginCall(actions);
  Variant result;
  try {
    result = component_->invoke(method, InvokeKind::Method, args);
  } catch (...) {
    ui_->beginCall(nlohmann::json::array());  // nothing of this call is left to play
    throw;
  }
  ui_->endCall();
  return result;
}

std::filesystem::path HostSession::programDirectory() const {
  return programDirectoryUnder(process_->programDirectoryRoot);
}

DispatchPtr HostSession::modelSpace() const {
  return drawing_;
}

}  // namespace kvm::sim
