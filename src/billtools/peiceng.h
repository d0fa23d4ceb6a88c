#pragma once

#include <vector>

#include "base/variant.h"

namespace kvm {

struct ProcessContext;

// Bill inspection `peiceng(Arr, bj, Gong, stid)` with its arguments bound to their declared
// types: when `bj` is 0 fills the dialog from the bill, then shows it and returns the result
// string: "c", "dao" + export record or "pick" + pick request. Any run-time error is shown
// and the result string returned as it stood.
Variant peiceng(ProcessContext& process, const std::vector<Variant>& args);

}  // namespace kvm
