#include "ui/ui.h"

namespace kvm {

void showErrorDescription(Ui& ui, std::u16string_view description) {
  ui.messageBox(description, std::nullopt, MsgIcon::Information, MsgButtons::Ok);
}

}  // namespace kvm
