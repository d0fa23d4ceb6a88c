#include "ui/option_group.h"

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {

OptionButton::OptionButton(Form& form, OptionGroup& group, int32_t index, std::u16string caption)
    : Control(form, group.name() + u"(" + decimal(index) + u")"), group_(group), index_(index) {
  state_.caption = std::move(caption);
}

void OptionButton::setValue(bool value) {
  if (!value) {
    state_.value = false;
    return;
  }
  if (state_.value) {
    return;
  }
  group_.setOnly(index_);
  if (group_.onClick) {
    group_.onClick(index_);
  }
}

void OptionButton::userClick() {
  setFocus();
  group_.setOnly(index_);
  if (group_.onClick) {
    group_.onClick(index_);
  }
}

OptionGroup::OptionGroup(Form& form, std::u16string name,
                         const std::vector<std::u16string>& captions)
    : Control(form, std::move(name)) {
  for (std::size_t i = 0; i < captions.size(); ++i) {
    buttons_.push_back(
        std::make_unique<OptionButton>(form, *this, static_cast<int32_t>(i), captions[i]));
  }
}

OptionButton& OptionGroup::operator[](int32_t index) const {
  if (index < 0 || index >= count()) {
    raise(err::kSubscriptOutOfRange);
  }
  return *buttons_[static_cast<std::size_t>(index)];
}

int32_t OptionGroup::selected() const {
  for (const auto& button : buttons_) {
    if (button->value()) {
      return button->index();
    }
  }
  return -1;
}

void OptionGroup::setOnly(int32_t index) {
  for (const auto& button : buttons_) {
    button->state_.value = button->index() == index;
  }
}

}  // namespace kvm
