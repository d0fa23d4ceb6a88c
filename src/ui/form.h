#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"

namespace kvm {

class Button;
class Control;
class MenuItem;

// A headless dialog: its caption, its controls and the lifecycle of a form (load, show modally,
// hide, the query before unloading, unload). The desktop (Ui) gives it a window.
//
// A derived form builds its controls in its constructor with their design-time state and then
// calls finishDesign(); every load starts again from that design and runs onLoad().
class Form {
 public:
  Form(std::shared_ptr<Ui> ui, std::u16string name);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  Form(Form&&) = delete;
  Form& operator=(Form&&) = delete;
  virtual ~Form();

  [[nodiscard]] Ui& ui() const noexcept { return *ui_; }
  [[nodiscard]] const std::u16string& name() const noexcept { return name_; }
  [[nodiscard]] const std::u16string& caption() const noexcept { return caption_; }
  void setCaption(std::u16string caption) { caption_ = std::move(caption); }

  [[nodiscard]] bool isLoaded() const noexcept { return loaded_; }
  [[nodiscard]] bool isShown() const noexcept { return shown_; }

  // Loads the form when it is not loaded: design-time state, then the load handler.
  void load();
  // Shows it modally (loading it first); returns once it is hidden or unloaded.
  void showModal();
  void hide();
  // Asks the query before unloading, then unloads. False when a handler cancelled.
  bool unload();
  // The user clicks the window's close box; nothing happens where it is disabled.
  void userClose();
  [[nodiscard]] bool closeBoxEnabled() const noexcept { return closeBoxEnabled_; }

  [[nodiscard]] int32_t left() const noexcept { return left_; }
  [[nodiscard]] int32_t top() const noexcept { return top_; }
  [[nodiscard]] int32_t width() const noexcept { return width_; }
  [[nodiscard]] int32_t height() const noexcept { return height_; }
  void move(int32_t left, int32_t top);

  [[nodiscard]] Control* focus() const noexcept { return focus_; }
  void setFocus(Control* control) { focus_ = control; }

  // The buttons that Enter and Escape click, where the dialog has them.
  [[nodiscard]] Button* defaultButton() const noexcept { return defaultButton_; }
  [[nodiscard]] Button* cancelButton() const noexcept { return cancelButton_; }

  [[nodiscard]] Control* findControl(std::u16string_view name) const;
  [[nodiscard]] const std::vector<Control*>& controls() const noexcept { return controls_; }

  void popupMenu(MenuItem& menu);

  // Called by each control as it is made.
  void registerControl(Control& control);

 protected:
  void setSize(int32_t width, int32_t height);
  void setCloseBoxEnabled(bool enabled) { closeBoxEnabled_ = enabled; }
  void setDefaultButton(Button* button) { defaultButton_ = button; }
  void setCancelButton(Button* button) { cancelButton_ = button; }
  void finishDesign();

  virtual void onLoad() {}
  // Set cancel to keep the form loaded.
  virtual void onQueryUnload(bool& /*cancel*/) {}
  virtual void onUnload() {}

 private:
  std::shared_ptr<Ui> ui_;
  std::u16string name_;
  std::u16string caption_;
  std::u16string designCaption_;
  bool loaded_ = false;
  bool shown_ = false;
  bool closeBoxEnabled_ = true;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  Control* focus_ = nullptr;
  Button* defaultButton_ = nullptr;
  Button* cancelButton_ = nullptr;
  std::vector<Control*> controls_;
};

}  // namespace kvm
