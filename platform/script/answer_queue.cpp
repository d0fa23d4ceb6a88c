#include "platform/script/answer_queue.h"

#include "platform/script/script_stop.h"

namespace kvm::script {

namespace {

bool isButtonOf(std::string_view word, std::string_view buttons) {
  if (word == "ok") return buttons == "ok" || buttons == "okcancel";
  if (word == "cancel") return buttons == "okcancel" || buttons == "yesnocancel";
  if (word == "yes" || word == "no") return buttons == "yesno" || buttons == "yesnocancel";
  return false;
}

}  // namespace

std::string AnswerQueue::answer(std::string_view text, std::string_view buttons) {
  if (buttons == "ok") {
    if (!answers_.empty() && answers_.front() == "ok") {
      answers_.pop_front();
    }
    return "ok";
  }
  if (answers_.empty() || !isButtonOf(answers_.front(), buttons)) {
    throw ScriptStop("no answer queued for the message box \"" + std::string(text) + "\" (" +
                     std::string(buttons) + ")");
  }
  std::string word = std::move(answers_.front());
  answers_.pop_front();
  return word;
}

}  // namespace kvm::script
