#include "platform/sim/ui/scripted_ui.h"

#include <algorithm>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/script/form_dump.h"
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

std::optional<MsgAnswer> answerOf(const std::string& word, MsgButtons buttons) {
  const bool ok = word == "ok" && (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel);
  const bool cancel =
      word == "cancel" && (buttons == MsgButtons::OkCancel || buttons == MsgButtons::YesNoCancel);
  const bool yesNo = (word == "yes" || word == "no") &&
                     (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel);
  if (ok) return MsgAnswer::Ok;
  if (cancel) return MsgAnswer::Cancel;
  if (yesNo) return word == "yes" ? MsgAnswer::Yes : MsgAnswer::No;
  return std::nullopt;
}

void removeForm(std::vector<Form*>& forms, const Form* form) {
  forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

bool contains(const std::vector<Form*>& forms, const Form* form) {
  return std::find(forms.begin(), forms.end(), form) != forms.end();
}

nlohmann::json names(const std::vector<Form*>& forms) {
  nlohmann::json list = nlohmann::json::array();
  for (const Form* form : forms) {
    list.push_back(toUtf8(form->name()));
  }
  return list;
}

}  // namespace

ScriptedUi::ScriptedUi(script::EventSink& events, script::AnswerQueue& answers,
                       DesktopState desktop)
    : events_(events), answers_(answers), desktop_(std::move(desktop)) {}

MsgAnswer ScriptedUi::messageBox(std::u16string_view text,
                                 const std::optional<std::u16string>& title, MsgIcon icon,
                                 MsgButtons buttons) {
  std::string word = "ok";
  if (buttons == MsgButtons::Ok) {
    if (!answers_.empty() && answers_.front() == "ok") {
      answers_.pop();
    }
  } else {
    if (answers_.empty() || !answerOf(answers_.front(), buttons)) {
      throw script::ScriptStop("no answer queued for the message box \"" + toUtf8(text) + "\" (" +
                               buttonsName(buttons) + ")");
    }
    word = answers_.front();
    answers_.pop();
  }
  nlohmann::json box{{"text", toUtf8(text)},
                     {"title", title ? nlohmann::json(toUtf8(*title)) : nlohmann::json(nullptr)},
                     {"icon", iconName(icon)},
                     {"buttons", buttonsName(buttons)},
                     {"answer", word}};
  events_.emit({{"msgbox", std::move(box)}});
  return *answerOf(word, buttons);
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
  if (!contains(loaded_, &form)) {
    loaded_.push_back(&form);
  }
}

void ScriptedUi::forget(Form& form) {
  removeForm(loaded_, &form);
  removeForm(shown_, &form);
  removeForm(topmost_, &form);
  if (active_ == &form) {
    active_ = shown_.empty() ? nullptr : shown_.back();
  }
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
  removeForm(shown_, &form);
  removeForm(topmost_, &form);
  if (active_ == &form) {
    active_ = shown_.empty() ? nullptr : shown_.back();
  }
  events_.emit({{"hidden", toUtf8(form.name())}});
}

void ScriptedUi::showModal(Form& form) {
  shown_.push_back(&form);
  active_ = &form;
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
  removeForm(topmost_, &form);
  if (topmost) {
    topmost_.push_back(&form);
  }
}

void ScriptedUi::activateWindow(std::u16string_view title) {
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it) {
    if ((*it)->caption() == title) {
      active_ = *it;
      return;
    }
  }
  raise(err::kInvalidCall);
}

void ScriptedUi::popupMenu(Form& form, MenuItem& menu) {
  menuForm_ = &form;
  menu_ = &menu;
}

Form& ScriptedUi::topForm() const {
  if (shown_.empty()) {
    throw script::ScriptStop("an action is played while no dialog is shown");
  }
  return *shown_.back();
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
  return {{"loaded", names(loaded_)},
          {"shown", names(shown_)},
          {"topmost", names(topmost_)},
          {"active",
           active_ != nullptr ? nlohmann::json(toUtf8(active_->name())) : nlohmann::json(nullptr)}};
}

nlohmann::json ScriptedUi::dumpForm(std::u16string_view name) const {
  for (const Form* form : loaded_) {
    if (form->name() == name) {
      auto value = kvm::script::dumpForm(*form);
      value["shown"] = contains(shown_, form);
      value["topmost"] = contains(topmost_, form);
      return value;
    }
  }
  throw std::invalid_argument("the dialog " + toUtf8(name) + " is not loaded");
}

void ScriptedUi::emitDump(const std::string& what, nlohmann::json value) {
  events_.emit({{"dump", what}, {"value", std::move(value)}});
}

}  // namespace kvm::sim
