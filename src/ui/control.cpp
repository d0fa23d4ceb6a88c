#include "ui/control.h"

#include "ui/form.h"

namespace kvm {

Control::Control(Form& form, std::u16string name) : form_(form), name_(std::move(name)) {
  form_.registerControl(*this);
}

void Control::move(int32_t left, int32_t top, int32_t width, int32_t height) {
  common_.left = left;
  common_.top = top;
  common_.width = width;
  common_.height = height;
}

void Control::setFocus() {
  form_.setFocus(this);
}

bool Control::hasFocus() const {
  return form_.focus() == this;
}

void Control::saveDesign() {
  design_ = common_;
  saveOwnDesign();
}

void Control::restoreDesign() {
  common_ = design_;
  restoreOwnDesign();
}

}  // namespace kvm
