#pragma once

#include <deque>
#include <string>
#include <string_view>

namespace kvm::script {

// The answers a script queues for message boxes, oldest first, and the rule by which a box
// takes one; both desktops answer their boxes through it.
class AnswerQueue {
 public:
  void push(std::string answer) { answers_.push_back(std::move(answer)); }

  // The answer of a box with `buttons` ("ok", "okcancel", "yesno" or "yesnocancel"): an
  // OK-only box takes a queued "ok" if one is next and is answered "ok" anyway; any other box
  // takes the oldest answer, which must be one of its buttons, or the script stops (the box
  // named by its UTF-8 `text`).
  [[nodiscard]] std::string answer(std::string_view text, std::string_view buttons);

 private:
  std::deque<std::string> answers_;
};

}  // namespace kvm::script
