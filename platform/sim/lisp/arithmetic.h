#pragma once

#include <vector>

#include "platform/sim/lisp/value.h"

namespace kvm::sim {

class LispEnvironment;

// Integer operands give integer results (32 bits, wrapping as the engine's integers do);
// once a real takes part, the rest of the fold is real. Integer division truncates toward
// zero; a zero divisor fails with "divide by zero".
LispValue lispAdd(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispSubtract(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispMultiply(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispDivide(LispEnvironment& environment, std::vector<LispValue>& args);

// Comparisons of numbers (by value, integer or real) or of strings; T or nil.
LispValue lispEqual(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispNotEqual(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispLess(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispGreater(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispLessOrEqual(LispEnvironment& environment, std::vector<LispValue>& args);
LispValue lispGreaterOrEqual(LispEnvironment& environment, std::vector<LispValue>& args);

}  // namespace kvm::sim
