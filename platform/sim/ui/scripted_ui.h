#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/script/answer_queue.h"
#include "platform/script/event_sink.h"
#include "platform/script/form_stack.h"
#include "ui/ui.h"

namespace kvm::sim {

// What the desktop looks like to the script: the Shift key, the window list, the clock, the
// screen.
struct DesktopState {
  std::function<bool()> shiftDown;
  std::function<bool(std::intptr_t, std::u16string_view)> topLevelWindowAfter;
  std::function<CalendarDate()> today;
  std::function<ScreenSize()> screen;  // 1920 x 1080 when not given
};

// The desktop of a host script: message boxes are answered from the script's answer queue,
// dialogs are played by the `ui` actions of the call that shows them, and both are printed as
// events; the rest comes from the simulated host's configuration.
class ScriptedUi final : public Ui {
 public:
  ScriptedUi(script::EventSink& events, script::AnswerQueue& answers, DesktopState desktop);

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override;
  [[nodiscard]] bool shiftDown() override;
  [[nodiscard]] bool topLevelWindowAfter(std::intptr_t afterWindow,
                                         std::u16string_view title) override;
  [[nodiscard]] CalendarDate today() override;

  void formLoaded(Form& form) override;
  void formUnloaded(Form& form) override;
  void forgetForm(Form& form) override;
  void showModal(Form& form) override;
  void formHidden(Form& form) override;
  void setWindowTopmost(Form& form, bool topmost) override;
  void activateWindow(std::u16string_view title) override;
  void popupMenu(Form& form, MenuItem& menu) override;
  [[nodiscard]] ScreenSize screenSize() override;

  // The user's part for the call that is about to run; left-over actions stop the script.
  void beginCall(const nlohmann::json& actions);
  void endCall();

  // The "forms" dump: {"loaded": [...], "shown": [... bottom to top]}, with the top-most and
  // active windows.
  [[nodiscard]] nlohmann::json dumpForms() const;
  // The "form:NAME" dump of a loaded dialog; std::invalid_argument when it is not loaded.
  [[nodiscard]] nlohmann::json dumpForm(std::u16string_view name) const;

 private:
  void playAction(const nlohmann::json& action);
  void emitDump(const std::string& what, nlohmann::json value);
  Form& topForm() const;
  void forget(Form& form);

  script::EventSink& events_;
  script::AnswerQueue& answers_;
  DesktopState desktop_;
  nlohmann::json actions_ = nlohmann::json::array();
  std::size_t nextAction_ = 0;

  script::FormStack forms_;
  Form* menuForm_ = nullptr;  // the open context menu, if any
  MenuItem* menu_ = nullptr;
};

}  // namespace kvm::sim
