#pragma once

#include <nlohmann/json.hpp>

#include "platform/sim/lisp/value.h"

namespace kvm::sim {

// A value as the dumps show it: numbers, strings, null for nil, true for T, {"sym": NAME} for
// other symbols, arrays for lists (a dotted pair's tail as the last element).
nlohmann::json lispToJson(const LispValue& value);

}  // namespace kvm::sim
