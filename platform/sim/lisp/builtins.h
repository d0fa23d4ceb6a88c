#pragma once

#include <string_view>
#include <vector>

#include "platform/sim/lisp/value.h"

namespace kvm::sim {

class LispEnvironment;

// A built-in function: it gets its arguments evaluated.
using LispBuiltin = LispValue (*)(LispEnvironment& environment, std::vector<LispValue>& args);

// The built-in of that (upper-case) name, or null.
LispBuiltin findBuiltin(std::u16string_view upperName);

// Argument count checks with the engine's messages.
void requireArgumentCount(const std::vector<LispValue>& args, std::size_t minimum,
                          std::size_t maximum);

}  // namespace kvm::sim
