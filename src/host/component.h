#pragma once

#include <memory>

#include "dispatch/dispatch.h"
#include "session/process.h"

namespace kvm {

// Creates a `clsKavelmor` object: runs its creation (the program directory) and returns it
// as a late-bound object. Its end runs when the last reference is released.
DispatchPtr createComponent(std::shared_ptr<ProcessContext> process);

}  // namespace kvm
