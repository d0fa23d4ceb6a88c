#include "platform/sim/ui/scripted_ui.h"

#include "base/text.h"
#include "platform/sim/ui/script_stop.h"

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

}  // namespace

ScriptedUi::ScriptedUi(EventSink& events, AnswerQueue& answers, DesktopState desktop)
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
      throw ScriptStop("no answer queued for the message box \"" + toUtf8(text) + "\" (" +
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

bool ScriptedUi::shiftDown() { return desktop_.shiftDown(); }

bool ScriptedUi::topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) {
  return desktop_.topLevelWindowAfter(afterWindow, title);
}

CalendarDate ScriptedUi::today() { return desktop_.today(); }

void ScriptedUi::beginCall(const nlohmann::json& actions) {
  actions_ = actions.is_array() ? actions : nlohmann::json::array();
  nextAction_ = 0;
}

void ScriptedUi::endCall() {
  const auto left = actions_.size() - nextAction_;
  actions_ = nlohmann::json::array();
  nextAction_ = 0;
  if (left > 0) {
    throw ScriptStop("the call returned with " + std::to_string(left) +
                     " user action(s) not played");
  }
}

}  // namespace kvm::sim
