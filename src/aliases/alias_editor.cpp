#include "aliases/alias_editor.h"

#include "aliases/frm_help.h"

namespace kvm {

void showAliasEditor(ProcessContext& process) {
  frmHelp(process).showModal();
}

}  // namespace kvm
