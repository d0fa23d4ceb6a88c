#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A check box: value 0 (clear), 1 (ticked) or 2 (grey). Changing the value, by the user or by
// the program, runs its Click handler.
class CheckBox final : public Control {
 public:
  CheckBox(Form& form, std::u16string name, std::u16string caption);

  [[nodiscard]] int32_t value() const noexcept { return state_.value; }
  void setValue(int32_t value);
  [[nodiscard]] const std::u16string& caption() const noexcept { return state_.caption; }
  void setCaption(std::u16string caption) { state_.caption = std::move(caption); }

  std::function<void()> onClick;

  // The user clicks it: it takes the focus and toggles between clear and ticked.
  void userClick();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  struct State {
    int32_t value = 0;
    std::u16string caption;
  };
  State state_;
  State design_;
};

}  // namespace kvm
