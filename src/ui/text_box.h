#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A text box: its text and the selection (start and length in characters), which the
// dialogs set to point the user at a refused value.
class TextBox : public Control {
 public:
  using Control::Control;

  [[nodiscard]] const std::u16string& text() const noexcept { return state_.text; }
  // Setting the text puts the caret at its start.
  void setText(std::u16string text);
  [[nodiscard]] int32_t selStart() const noexcept { return state_.selStart; }
  [[nodiscard]] int32_t selLength() const noexcept { return state_.selLength; }
  // Both are kept inside the text, as the platform clamps them.
  void setSelStart(int32_t start);
  void setSelLength(int32_t length);
  void select(int32_t start, int32_t length);
  void selectAll();

  std::function<void()> onChange;

  // The user focuses the box and replaces its text; the caret ends up after the text.
  void userType(std::u16string text);

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  [[nodiscard]] int32_t length() const noexcept;

  struct State {
    std::u16string text;
    int32_t selStart = 0;
    int32_t selLength = 0;
  };
  State state_;
  State design_;
};

// A combo box: a text box with a list of offered texts; free text is allowed.
class ComboBox final : public TextBox {
 public:
  ComboBox(Form& form, std::u16string name, std::vector<std::u16string> items);

  [[nodiscard]] const std::vector<std::u16string>& items() const noexcept { return items_; }

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 private:
  std::vector<std::u16string> items_;
};

}  // namespace kvm
