#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/script/answer_queue.h"

namespace kvm::script {

// Plays the user's part of calls on dialogs the runner does not show itself (the real windows
// of a component reached through COM): message boxes answered from the answer queue, the
// call's `ui` actions, and the dialog dumps.
class CallPlayer {
 public:
  CallPlayer() = default;
  CallPlayer(const CallPlayer&) = delete;
  CallPlayer& operator=(const CallPlayer&) = delete;
  CallPlayer(CallPlayer&&) = delete;
  CallPlayer& operator=(CallPlayer&&) = delete;
  virtual ~CallPlayer() = default;

  // Before the call of script line `line`: its actions and the session's answer queue.
  virtual void beginCall(const nlohmann::json& actions, script::AnswerQueue& answers,
                         std::size_t line) = 0;
  // After the call returned; script::ScriptStop when actions were left.
  virtual void endCall() = 0;
  // The "forms" and "form:NAME" dumps; std::invalid_argument when there is nothing to dump.
  virtual nlohmann::json dump(const std::string& what) = 0;
};

}  // namespace kvm::script
