#include "ui/check_box.h"

namespace kvm {

CheckBox::CheckBox(Form& form, std::u16string name, std::u16string caption)
    : Control(form, std::move(name)) {
  state_.caption = std::move(caption);
}

void CheckBox::setValue(int32_t value) {
  if (value == state_.value) {
    return;
  }
  state_.value = value;
  if (onClick) {
    onClick();
  }
}

void CheckBox::userClick() {
  setFocus();
  setValue(state_.value == 1 ? 0 : 1);
}

}  // namespace kvm
