#include "billtools/wan_shan.h"

#include "base/runtime_error.h"
#include "billtools/frm_wan_shan.h"
#include "session/process.h"

namespace kvm {

Variant WanShan(ProcessContext& process) {
  try {
    frmWanShan(process).show();
  } catch (const RuntimeError& error) {
    showErrorDescription(*process.ui, error.description());
  }
  return process.resultString;
}

}  // namespace kvm
