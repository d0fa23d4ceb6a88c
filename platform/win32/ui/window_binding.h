#pragma once

#include "platform/win32/windows_headers.h"

#include <algorithm>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/ui/control_binding.h"
#include "ui/color.h"
#include "ui/control.h"

namespace kvm {
class ComboBox;
class Grid;
class ListBox;
class PictureBox;
class TextBox;
}  // namespace kvm

// What the bindings of the several kinds of control share.
namespace kvm::win32 {

constexpr int kTwipsPerPixel = 15;
constexpr int kLineHeight = 15;

// A child window of the dialog (or of the picture box a control sits in) at the control's
// place, in the dialog's font.
HWND makeChild(const wchar_t* windowClass, const std::u16string& text, DWORD style, DWORD exStyle,
               const Control& control, const BindingContext& context, int extraHeight = 0);
std::u16string windowText(HWND window);
COLORREF colorRef(Color colour);

// The state every windowed control shares: place, visibility, enabled.
class WindowBinding : public ControlBinding {
 public:
  WindowBinding(Control& control, HWND window) : control_(control), window_(window) {}
  ~WindowBinding() override = default;
  WindowBinding(const WindowBinding&) = delete;
  WindowBinding& operator=(const WindowBinding&) = delete;
  WindowBinding(WindowBinding&&) = delete;
  WindowBinding& operator=(WindowBinding&&) = delete;

  [[nodiscard]] HWND window() const noexcept override { return window_.get(); }

  // Keeps the window this many pixels off the control's place: room the Win32 layout makes.
  void moveBy(int dx, int dy) {
    shift_ = {dx, dy};
    place_ = {-1, -1, -1, -1};
  }

  void sync() override {
    const int band = bandAbove();
    const RECT place{control_.left() + shift_.x, control_.top() + band + shift_.y,
                     std::max(control_.width(), minimumWidth()),
                     std::max(control_.height() - band, minimumHeight())};
    if (place.left != place_.left || place.top != place_.top || place.right != place_.right ||
        place.bottom != place_.bottom) {
      place_ = place;
      SetWindowPos(window(), nullptr, place.left, place.top, place.right,
                   place.bottom + extraHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((IsWindowVisible(window()) != FALSE) != control_.visible()) {
      ShowWindow(window(), control_.visible() ? SW_SHOWNA : SW_HIDE);
    }
    if ((IsWindowEnabled(window()) != FALSE) != control_.enabled()) {
      EnableWindow(window(), control_.enabled() ? TRUE : FALSE);
    }
  }

 protected:
  [[nodiscard]] virtual int extraHeight() const noexcept { return 0; }
  [[nodiscard]] virtual int minimumHeight() const noexcept { return 0; }
  [[nodiscard]] virtual int minimumWidth() const { return 0; }
  // Pixels at the top of the control's area that the dialog draws instead of the window.
  [[nodiscard]] virtual int bandAbove() const { return 0; }

 private:
  Control& control_;
  UniqueWindow window_;
  RECT place_{-1, -1, -1, -1};
  POINT shift_{0, 0};
};

// The bindings that live in files of their own.
std::unique_ptr<ControlBinding> bindTextBox(TextBox& box, const BindingContext& context);
std::unique_ptr<ControlBinding> bindComboBox(ComboBox& box, const BindingContext& context);
std::unique_ptr<ControlBinding> bindListBox(ListBox& list, const BindingContext& context);
std::unique_ptr<ControlBinding> bindGrid(Grid& grid, const BindingContext& context);
std::unique_ptr<ControlBinding> bindPictureBox(PictureBox& picture, const BindingContext& context);

}  // namespace kvm::win32
