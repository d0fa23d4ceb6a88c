#include "billtools/peiceng.h"

#include "base/runtime_error.h"
#include "billtools/frm_pei_ceng.h"
#include "session/process.h"

namespace kvm {

Variant peiceng(ProcessContext& process, const std::vector<Variant>& args) {
  try {
    FrmPeiCeng& form = frmPeiCeng(process);
    if (toInteger(args.at(1)) == 0) {
      form.load();
      form.fill(args.at(0), args.at(2), toInteger(args.at(3)));
    }
    form.show();
  } catch (const RuntimeError& error) {
    showErrorDescription(*process.ui, error.description());
  }
  return process.resultString;
}

}  // namespace kvm
