#include "ui/text_box.h"

#include <algorithm>

namespace kvm {

int32_t TextBox::length() const noexcept {
  return static_cast<int32_t>(state_.text.size());
}

void TextBox::setText(std::u16string text) {
  const bool changed = text != state_.text;
  state_.text = std::move(text);
  state_.selStart = 0;
  state_.selLength = 0;
  if (changed && onChange) {
    onChange();
  }
}

void TextBox::setSelStart(int32_t start) {
  state_.selStart = std::clamp(start, 0, length());
  state_.selLength = 0;
}

void TextBox::setSelLength(int32_t length) {
  state_.selLength = std::clamp(length, 0, this->length() - state_.selStart);
}

void TextBox::select(int32_t start, int32_t length) {
  setSelStart(start);
  setSelLength(length);
}

void TextBox::selectAll() {
  select(0, length());
}

void TextBox::userType(std::u16string text) {
  setFocus();
  setText(std::move(text));
  state_.selStart = length();
}

ComboBox::ComboBox(Form& form, std::u16string name, std::vector<std::u16string> items)
    : TextBox(form, std::move(name)), items_(std::move(items)) {}

}  // namespace kvm
