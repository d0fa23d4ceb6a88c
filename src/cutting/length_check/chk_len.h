#pragma once

#include <vector>

#include "base/variant.h"

namespace kvm {

struct ProcessContext;

// The length check `chkLen(L, Zhan, sc)` with its arguments bound to their declared types
// (Long, Long, String): shows the drawn length `L`, the developed length `Zhan` and its
// product with the scale number of `sc` ("1:10"), and returns "0" (go back) or "1" (ignore).
// Failures reach the host; the result string is then empty.
Variant chkLen(ProcessContext& process, const std::vector<Variant>& args);

}  // namespace kvm
