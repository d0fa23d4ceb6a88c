#pragma once

#include "base/variant.h"

namespace kvm {

struct ProcessContext;

// Bill completion options `WanShan()`: shows the options dialog and returns the result string,
// the four option digits or "c". Any run-time error is shown and the result string returned
// as it stood.
Variant WanShan(ProcessContext& process);

}  // namespace kvm
