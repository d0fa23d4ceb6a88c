#include "ui/picture_box.h"

namespace kvm {

PictureBox::PictureBox(Form& form, std::u16string name, int32_t width, int32_t height)
    : Control(form, std::move(name)) {
  setWidth(width);
  setHeight(height);
}

}  // namespace kvm
