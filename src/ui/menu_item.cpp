#include "ui/menu_item.h"

namespace kvm {

MenuItem::MenuItem(Form& form, std::u16string name, std::u16string caption, MenuItem* parent)
    : Control(form, std::move(name)) {
  state_.caption = std::move(caption);
  if (parent != nullptr) {
    parent->items_.push_back(this);
  }
}

void MenuItem::userPick() {
  if (usable() && !isSeparator() && onClick) {
    onClick();
  }
}

}  // namespace kvm
