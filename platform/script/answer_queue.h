#pragma once

#include <deque>
#include <string>

namespace kvm::script {

// The answers a script queues for message boxes, oldest first.
class AnswerQueue {
 public:
  void push(std::string answer) { answers_.push_back(std::move(answer)); }
  [[nodiscard]] bool empty() const { return answers_.empty(); }
  [[nodiscard]] const std::string& front() const { return answers_.front(); }
  void pop() { answers_.pop_front(); }

 private:
  std::deque<std::string> answers_;
};

}  // namespace kvm::script
