#include "cutting/length_check/chk_len.h"

#include "cutting/length_check/frm_check.h"
#include "session/process.h"

namespace kvm {

Variant chkLen(ProcessContext& process, const std::vector<Variant>& args) {
  process.resultString.clear();
  FrmCheck& form = frmCheck(process);
  form.load();
  form.showFigures(toLong(args.at(0)), toLong(args.at(1)), toString(args.at(2)));
  // No top-most step and no timer: the host's command waits on this small box anyway.
  form.showModal();
  return process.resultString;
}

}  // namespace kvm
