#pragma once

#include <cstdint>
#include <string>

namespace kvm {

class Form;
class ControlVisitor;

// A control of a headless form: the state the dialogs' handlers read and write, and the paths
// by which the user acts on it. Every control belongs to one form, which finds it by name.
//
// A control remembers its design-time state; loading the form again puts it back, as a
// freshly loaded dialog starts from its design.
class Control {
 public:
  Control(Form& form, std::u16string name);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  Control(Control&&) = delete;
  Control& operator=(Control&&) = delete;
  virtual ~Control() = default;

  [[nodiscard]] const std::u16string& name() const noexcept { return name_; }
  [[nodiscard]] Form& form() const noexcept { return form_; }

  [[nodiscard]] bool visible() const noexcept { return common_.visible; }
  void setVisible(bool visible) { common_.visible = visible; }
  [[nodiscard]] bool enabled() const noexcept { return common_.enabled; }
  void setEnabled(bool enabled) { common_.enabled = enabled; }
  // Position and size in pixels, relative to the control's container.
  [[nodiscard]] int32_t left() const noexcept { return common_.left; }
  [[nodiscard]] int32_t top() const noexcept { return common_.top; }
  [[nodiscard]] int32_t width() const noexcept { return common_.width; }
  [[nodiscard]] int32_t height() const noexcept { return common_.height; }
  void setLeft(int32_t left) { common_.left = left; }
  void setTop(int32_t top) { common_.top = top; }
  void setWidth(int32_t width) { common_.width = width; }
  void setHeight(int32_t height) { common_.height = height; }
  void move(int32_t left, int32_t top, int32_t width, int32_t height);
  // The control whose area holds this one; null for the form itself.
  [[nodiscard]] const Control* container() const noexcept { return container_; }
  void setContainer(const Control* container) { container_ = container; }
  [[nodiscard]] const std::u16string& tag() const noexcept { return common_.tag; }
  void setTag(std::u16string tag) { common_.tag = std::move(tag); }

  // Can the user reach it (visible and enabled)?
  [[nodiscard]] bool usable() const noexcept { return common_.visible && common_.enabled; }

  void setFocus();
  [[nodiscard]] bool hasFocus() const;

  virtual void accept(ControlVisitor& visitor) const = 0;

  void saveDesign();
  void restoreDesign();

 protected:
  virtual void saveOwnDesign() {}
  virtual void restoreOwnDesign() {}

 private:
  struct Common {
    bool visible = true;
    bool enabled = true;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::u16string tag;
  };

  Form& form_;
  std::u16string name_;
  const Control* container_ = nullptr;
  Common common_;
  Common design_;
};

}  // namespace kvm
