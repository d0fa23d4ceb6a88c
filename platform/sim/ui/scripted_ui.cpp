#include "platform/sim/ui/scripted_ui.h"

#include "base/text.h"
#include "platform/script/script_stop.h"
#include "ui/form.h"

namespace kvm::sim {

namespace {

const char* iconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return "information";
    case MsgIcon::Question: return "question";
    case MsgIcon::Exclamation: return "exclamation";
    case MsgIcon::Critical: return "critical";
    case MsgIcon::None: break;
  }
  return "none";
}

const char* buttonsName(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OkCancel: return "okcancel";
    case MsgButtons::YesNo: return "yesno";
    case MsgButtons::YesNoCancel: return "yesnocancel";
    case MsgButtons::Ok: break;
  }
  return "ok";
}

MsgAnswer answerOf(const std::string& word) {
  if (word == "yes") return MsgAnswer::Yes;
  if (word == "no") return MsgAnswer::No;
  if (word == "cancel") return MsgAnswer::Cancel;
  return MsgAnswer::Ok;
}

}  // namespace

ScriptedUi::ScriptedUi(script::EventSink& events, script::AnswerQueue& answers,
                       DesktopState desktop)
    : events_(events), answers_(answers), desktop_(std::move(desktop)) {}

MsgAnswer ScriptedUi::messageBox(std::u16string_view text,
                                 const std::optional<std::u16string>& title, MsgIcon icon,
                                 MsgButtons buttons) {
  const std::string word = answers_.answer(toUtf8(text), buttonsName(buttons));
  nlohmann::json box{{"text", toUtf8(text)},
                     {"title", title ? nlohmann::json(toUtf8(*title)) : nlohmann::json(nullptr)},
                     {"icon", iconName(icon)},
                     {"buttons", buttonsName(buttons)},
                     {"answer", word}};
  events_.emit({{"msgbox", std::move(box)}});
  return answerOf(word);
}

bool ScriptedUi::shiftDown() {
  return desktop_.shiftDown();
}

bool ScriptedUi::topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) {
  return desktop_.topLevelWindowAfter(afterWindow, title);
}

CalendarDate ScriptedUi::today() {
  return desktop_.today();
}

ScreenSize ScriptedUi::screenSize() {
  return desktop_.screen ? desktop_.screen() : ScreenSize{};
}

void ScriptedUi::formLoaded(Form& form) {
  forms_.load(form);
}

void ScriptedUi::forget(Form& form) {
  forms_.forget(form);
  if (menuForm_ == &form) {
    menuForm_ = nullptr;
    menu_ = nullptr;
  }
}

void ScriptedUi::formUnloaded(Form& form) {
  forget(form);
  events_.emit({{"unloaded", toUtf8(form.name())}});
}

void ScriptedUi::forgetForm(Form& form) {
  forget(form);
}

void ScriptedUi::formHidden(Form& form) {
  forms_.hide(form);
  events_.emit({{"hidden", toUtf8(form.name())}});
}

void ScriptedUi::showModal(Form& form) {
  forms_.show(form);
  events_.emit(
      {{"shown", toUtf8(form.name())}, {"caption", toUtf8(form.caption())}, {"modal", true}});
  while (form.isLoaded() && form.isShown()) {
    if (nextAction_ >= actions_.size()) {
      throw script::ScriptStop("the call's actions ran out while " + toUtf8(form.name()) +
                               " is shown modally");
    }
    playAction(actions_[nextAction_++]);
  }
}

void ScriptedUi::setWindowTopmost(Form& form, bool topmost) {
  forms_.setTopmost(form, topmost);
}

void ScriptedUi::activateWindow(std::u16string_view title) {
  forms_.activate(title);
}

void ScriptedUi::popupMenu(Form& form, MenuItem& menu) {
  menuForm_ = &form;
  menu_ = &menu;
}

Form& ScriptedUi::topForm() const {
  Form* top = forms_.top();
  if (top == nullptr) {
    throw script::ScriptStop("an action is played while no dialog is shown");
  }
  return *top;
}

void ScriptedUi::beginCall(const nlohmann::json& actions) {
  actions_ = actions.is_array() ? actions : nlohmann::json::array();
  nextAction_ = 0;
}

void ScriptedUi::endCall() {
  const auto left = actions_.size() - nextAction_;
  actions_ = nlohmann::json::array();
  nextAction_ = 0;
  menuForm_ = nullptr;
  menu_ = nullptr;
  if (left > 0) {
    throw script::ScriptStop("the call returned with " + std::to_string(left) +
                             " user action(s) not played");
  }
}

nlohmann::json ScriptedUi::dumpForms() const {
  return forms_.dump();
}

nlohmann::json ScriptedUi::dumpForm(std::u16string_view name) const {
  return forms_.dumpForm(forms_.loaded(name));
}

void ScriptedUi::emitDump(const std::string& what, nlohmann::json value) {
  events_.emit({{"dump", what}, {"value", std::move(value)}});
}

}  // namespace kvm::sim
