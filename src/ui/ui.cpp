#include "ui/ui.h"

#include "base/runtime_error.h"

namespace kvm {

void Ui::formLoaded(Form& /*form*/) {}
void Ui::formUnloaded(Form& /*form*/) {}
void Ui::forgetForm(Form& /*form*/) {}
void Ui::showModal(Form& /*form*/) {
  raise(err::kInvalidCall);
}
void Ui::formHidden(Form& /*form*/) {}
void Ui::setWindowTopmost(Form& /*form*/, bool /*topmost*/) {}
void Ui::activateWindow(std::u16string_view /*title*/) {}
void Ui::popupMenu(Form& /*form*/, MenuItem& /*menu*/) {}
ScreenSize Ui::screenSize() {
  return {};
}

void showErrorDescription(Ui& ui, std::u16string_view description) {
  ui.messageBox(description, std::nullopt, MsgIcon::Information, MsgButtons::Ok);
}

void showMessage(Ui& ui, std::u16string_view text, const std::optional<std::u16string>& title) {
  ui.messageBox(text, title, MsgIcon::Information, MsgButtons::Ok);
}

}  // namespace kvm
