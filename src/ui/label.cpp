#include "ui/label.h"

#include "base/codepage.h"

namespace kvm {

Label::Label(Form& form, std::u16string name, bool autoSize)
    : CaptionedControl(form, std::move(name)), autoSize_(autoSize) {}

void Label::setCaption(std::u16string caption) {
  if (autoSize_) {
    setWidth(static_cast<int32_t>(gbkByteLength(caption)) * kPixelsPerByte);
  }
  CaptionedControl::setCaption(std::move(caption));
}

void Button::userClick() {
  setFocus();
  if (onClick) {
    onClick();
  }
}

}  // namespace kvm
