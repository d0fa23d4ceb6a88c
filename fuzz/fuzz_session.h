#pragma once

#include <string>

namespace kvm::fuzz {

// Plays a host script in a session folder of this process that starts empty every time, and
// returns the runner's exit status. The events are dropped: the harness looks for crashes,
// leaks and undefined behaviour, not for particular events.
int playScript(const std::string& script);

}  // namespace kvm::fuzz
