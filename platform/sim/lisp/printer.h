#pragma once

#include <string>

#include "platform/sim/lisp/value.h"

namespace kvm::sim {

// The printed form of a value as the engine shows it in messages: strings quoted with their
// escapes, reals with six significant digits and always a decimal point, lists in parentheses.
std::u16string printLisp(const LispValue& value);

// A real in the engine's printed form ("1.5", "2.0", "1.0e+20").
std::u16string printReal(double value);

}  // namespace kvm::sim
