#pragma once

#include <vector>

#include "base/variant.h"
#include "host/interface.h"

namespace kvm {

// Converts the caller's arguments to the member's declared parameter types, as the host's late
// binding does before the member runs: missing arguments are 449, extra ones 450, a value that
// does not convert 13, one out of range 6.
std::vector<Variant> bindArguments(const MemberInfo& member, const std::vector<Variant>& args);

// Converts an array to a typed array of the given element type, keeping its bounds; an
// unallocated array stays unallocated.
Variant toTypedArray(const Variant& value, VarType elementType);

}  // namespace kvm
