#pragma once

#include <string_view>

#include "platform/sim/lisp/value.h"

namespace kvm::sim {

// Reads the first expression of a text; whatever follows it is ignored. Symbols are read in
// upper case, "nil" as nil, 'x as (QUOTE X). An empty, unbalanced or otherwise malformed
// text fails with "malformed list on input".
LispValue readLisp(std::u16string_view text);

}  // namespace kvm::sim
