#pragma once

#include "platform/win32/windows_headers.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/ui/control_binding.h"

namespace kvm {
class Form;
class MenuItem;
}  // namespace kvm

namespace kvm::win32 {

// The real window of a headless form: a top-level window owned by the host's, one child
// window per control made by the control's binding, and the form's modal loop.
class FormWindow {
 public:
  // `changed` runs after the model handled a message from the user: every dialog shows what
  // the handler changed.
  // `timersRun`: the dialog's timers run on the clock; otherwise they fire only when a
  // WM_TIMER is posted to the dialog (a script plays the clock).
  FormWindow(Form& form, HWND owner, std::function<void()> changed, bool timersRun = true);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  FormWindow(FormWindow&&) = delete;
  FormWindow& operator=(FormWindow&&) = delete;
  ~FormWindow();

  [[nodiscard]] HWND handle() const noexcept { return window_.get(); }
  [[nodiscard]] Form& form() const noexcept { return form_; }

  // Shows the model's state in every window.
  void sync();
  // Shows the window with its owner disabled and pumps messages until the form is hidden or
  // unloaded.
  void runModal();
  void close();
  void popupMenu(MenuItem& menu);
  // A control's own window (null for windowless ones) and the identifier its messages carry
  // (0 for controls without a binding).
  [[nodiscard]] HWND controlWindow(const Control& control) const;
  [[nodiscard]] int controlId(const Control& control) const;

  static void registerClasses();

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void bindControls();
  void destroyWindow() noexcept;
  [[nodiscard]] ControlBinding* bindingOf(int id) const;

  Form& form_;
  HWND owner_;
  std::function<void()> changed_;
  UniqueFont font_;  // outlives the window and its controls, which use it
  UniqueWindow window_;
  std::vector<std::unique_ptr<ControlBinding>> bindings_;
  std::map<int, ControlBinding*> byId_;
  std::map<const Control*, ControlBinding*> byControl_;
  const Control* shownFocus_ = nullptr;
  bool timersRun_ = true;
};

}  // namespace kvm::win32
