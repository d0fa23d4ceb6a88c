#pragma once

#include <stdexcept>
#include <string>

namespace kvm::script {

// A host script that cannot go on (a box with no answer for it, an action with no dialog).
// It is no run-time error of the component: nothing inside the component may catch it.
class ScriptStop : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kvm::script
