#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

class OptionGroup;

// One option button of a group (a control array named NAME, elements NAME(0), NAME(1), ...).
class OptionButton final : public Control {
 public:
  OptionButton(Form& form, OptionGroup& group, int32_t index, std::u16string caption);

  [[nodiscard]] int32_t index() const noexcept { return index_; }
  [[nodiscard]] bool value() const noexcept { return state_.value; }
  // Setting it clears the group's other buttons; a change to set runs the group's handler.
  void setValue(bool value);
  [[nodiscard]] const std::u16string& caption() const noexcept { return state_.caption; }

  // The user clicks it: it takes the focus, becomes the set one and the handler runs.
  void userClick();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  friend class OptionGroup;
  struct State {
    bool value = false;
    std::u16string caption;
  };
  OptionGroup& group_;
  int32_t index_;
  State state_;
  State design_;
};

// A control array of option buttons of which at most one is set.
class OptionGroup final : public Control {
 public:
  OptionGroup(Form& form, std::u16string name, const std::vector<std::u16string>& captions);

  [[nodiscard]] int32_t count() const noexcept { return static_cast<int32_t>(buttons_.size()); }
  [[nodiscard]] OptionButton& operator[](int32_t index) const;
  // The index of the set button, -1 when none is set.
  [[nodiscard]] int32_t selected() const;

  // Click handler of the array; gets the index of the clicked button.
  std::function<void(int32_t)> onClick;

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 private:
  friend class OptionButton;
  void setOnly(int32_t index);

  std::vector<std::unique_ptr<OptionButton>> buttons_;
};

}  // namespace kvm
