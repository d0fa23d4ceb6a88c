#pragma once

#include <nlohmann/json.hpp>

namespace kvm {
class Control;
class Form;
}  // namespace kvm

namespace kvm::script {

// The state of one control in the shape host scripts print (every kind with "visible" and
// "enabled").
nlohmann::json dumpControl(const Control& control);

// One dialog: {"caption", "focus", "controls": {NAME: state}} and its window's place.
nlohmann::json dumpForm(const Form& form);

}  // namespace kvm::script
