#pragma once

#include "platform/win32/windows_headers.h"

#include <functional>
#include <memory>

namespace kvm {
class Control;
}

namespace kvm::win32 {

// What a control's window needs from the dialog window that holds it.
struct BindingContext {
  HWND parent = nullptr;   // the dialog's client area, or the picture box a control sits in
  HFONT font = nullptr;    // the dialog's font
  int id = 0;              // the child window's identifier
  bool isDefault = false;  // Enter clicks this button
  // Runs after the model handled a message a control's own procedure took: the dialog shows
  // what changed.
  std::function<void()> afterEvent;
  bool timersRun = true;  // false: a timer fires only on a WM_TIMER someone posts
};

// One control model bound to a real window: sync() shows the model's state in the window,
// the notifications the window sends call the model's user paths.
class ControlBinding {
 public:
  ControlBinding() = default;
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;
  ControlBinding(ControlBinding&&) = delete;
  ControlBinding& operator=(ControlBinding&&) = delete;
  virtual ~ControlBinding() = default;

  [[nodiscard]] virtual HWND window() const noexcept = 0;
  virtual void sync() = 0;
  // WM_COMMAND from the control; true when handled.
  virtual bool command(WORD /*code*/) { return false; }
  // WM_NOTIFY from the control.
  virtual bool notify(const NMHDR& /*header*/) { return false; }
  virtual bool drawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // WM_CTLCOLOR*: the brush for the control's background, or null for the default.
  virtual HBRUSH colour(HDC /*dc*/) { return nullptr; }
  // Draws a windowless control on the dialog's own surface.
  virtual void paint(HDC /*dc*/) {}
  // WM_TIMER for this binding's timer.
  virtual void timer() {}
};

// The binding of one control by its kind; null for controls without a window of their own
// (menus, option arrays). A picture box's binding owns the window its contained controls go in.
std::unique_ptr<ControlBinding> bindControl(Control& control, const BindingContext& context);

// Registers the window class of picture boxes once per process.
void registerPictureClass();

}  // namespace kvm::win32
