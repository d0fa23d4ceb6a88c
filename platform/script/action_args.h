#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/script/script_stop.h"

namespace kvm::script {

// Reads the arguments of one `ui` action of a host script, naming the action in every
// complaint. Shared by the scripted desktop and the player on real windows, so that both
// refuse a malformed action alike.
class ActionArgs {
 public:
  explicit ActionArgs(const nlohmann::json& action) : action_(action) {
    if (!action.is_array() || action.empty() || !action[0].is_string()) {
      throw ScriptStop("an action is a JSON array that starts with its name: " + action.dump());
    }
  }

  [[nodiscard]] std::string verb() const { return action_[0].get<std::string>(); }

  [[nodiscard]] const nlohmann::json& at(std::size_t index) const {
    if (index >= action_.size()) {
      throw ScriptStop("the action " + action_.dump() + " lacks an argument");
    }
    return action_[index];
  }
  [[nodiscard]] std::string text(std::size_t index) const {
    const nlohmann::json& value = at(index);
    if (!value.is_string()) {
      throw ScriptStop("argument " + std::to_string(index) + " of " + action_.dump() +
                       " is not a string");
    }
    return value.get<std::string>();
  }
  [[nodiscard]] int32_t number(std::size_t index) const {
    const nlohmann::json& value = at(index);
    if (!value.is_number_integer()) {
      throw ScriptStop("argument " + std::to_string(index) + " of " + action_.dump() +
                       " is not a whole number");
    }
    return value.get<int32_t>();
  }

 private:
  const nlohmann::json& action_;
};

}  // namespace kvm::script
