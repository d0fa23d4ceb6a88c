#pragma once

#include <string_view>
#include <vector>

#include "base/variant.h"

namespace kvm {

struct ProcessContext;

// The settings call `kvmset(AObj, s, pDing, lstLen, lstAg, lstdim, lstxt)` with its arguments
// bound to their declared types: keeps the host application, stores a captured profile when
// `s` is a capture return, shows the settings dialog and returns the result string. Any
// run-time error is shown and the result string returned as it stood. `version` is the
// component's, for the dialog's caption.
Variant kvmset(ProcessContext& process, std::u16string_view version,
               const std::vector<Variant>& args);

}  // namespace kvm
