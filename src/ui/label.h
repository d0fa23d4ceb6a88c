#pragma once

#include <functional>
#include <string>

#include "ui/color.h"
#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A control that shows a caption in a colour: the base of labels, frames and buttons.
class CaptionedControl : public Control {
 public:
  using Control::Control;

  [[nodiscard]] const std::u16string& caption() const noexcept { return state_.caption; }
  virtual void setCaption(std::u16string caption) { state_.caption = std::move(caption); }
  [[nodiscard]] Color foreColor() const noexcept { return state_.foreColor; }
  void setForeColor(Color color) { state_.foreColor = color; }

 protected:
  void saveOwnDesign() override { design_ = state_; }
  void restoreOwnDesign() override { state_ = design_; }

 private:
  struct State {
    std::u16string caption;
    Color foreColor = kBlackColor;
  };
  State state_;
  State design_;
};

// A label. An autosized label is as wide as its caption: 6 pixels per GBK byte.
class Label final : public CaptionedControl {
 public:
  static constexpr int32_t kPixelsPerByte = 6;

  Label(Form& form, std::u16string name, bool autoSize = false);

  [[nodiscard]] bool autoSize() const noexcept { return autoSize_; }
  void setCaption(std::u16string caption) override;

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 private:
  bool autoSize_;
};

class Frame final : public CaptionedControl {
 public:
  using CaptionedControl::CaptionedControl;
  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }
};

class Button final : public CaptionedControl {
 public:
  using CaptionedControl::CaptionedControl;

  std::function<void()> onClick;

  // The user clicks it: the button takes the focus, then its handler runs.
  void userClick();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }
};

}  // namespace kvm
