#include "settings/kvmset.h"

#include "base/runtime_error.h"
#include "session/process.h"
#include "settings/frm_set.h"

namespace kvm {

Variant kvmset(ProcessContext& process, std::u16string_view version,
               const std::vector<Variant>& args) {
  try {
    process.hostApplication = args.at(0).isObject() ? args[0].objectValue() : nullptr;
    const std::vector<Variant> profile(args.begin() + 2, args.end());
    frmSet(process, version).show(toString(args.at(1)), profile);
  } catch (const RuntimeError& error) {
    showErrorDescription(*process.ui, error.description());
  }
  return process.resultString;
}

}  // namespace kvm
