#include "platform/win32/ui/window_binding.h"

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/ui/gdi_replay.h"
#include "platform/win32/ui/procedure_guard.h"
#include "platform/win32/window_data.h"
#include "ui/picture_box.h"

namespace kvm::win32 {

namespace {
constexpr const wchar_t* kPictureClass = L"KavelmorPicture";

// A picture box: a window that replays the recorded drawing through a back buffer.
class PictureBinding final : public WindowBinding {
 public:
  PictureBinding(PictureBox& picture, const BindingContext& context)
      : WindowBinding(picture, makeChild(kPictureClass, u"", WS_CLIPCHILDREN, 0, picture, context)),
        picture_(picture) {
    attachToWindow(window(), this);
  }

  void sync() override {
    WindowBinding::sync();
    if (picture_.ops() != ops_) {
      ops_ = picture_.ops();
      InvalidateRect(window(), nullptr, FALSE);
    }
  }

  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = attachedTo<PictureBinding>(window);
    switch (message) {
      case WM_PAINT:
        if (self != nullptr) {
          return guardProcedure([self] {
            self->paintWindow();
            return LRESULT{0};
          });
        }
        break;
      case WM_ERASEBKGND: return 1;
      case WM_CTLCOLORSTATIC:
        // Labels inside the picture ask their parent; the dialog knows their colours.
        return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
      default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

 private:
  void paintWindow() {
    const Painting painting(window());
    RECT client{};
    GetClientRect(window(), &client);
    const SIZE area{client.right, client.bottom};
    const UniqueMemoryDc buffer(created(u"the picture's drawing context",
                                        [&] { return CreateCompatibleDC(painting.dc()); }));
    const UniqueBitmap bitmap(created(u"the picture's bitmap", [&] {
      return CreateCompatibleBitmap(painting.dc(), area.cx, area.cy);
    }));
    const SelectedObject drawn(buffer.get(), bitmap.get());
    replayCanvas(buffer.get(), area, ops_);
    BitBlt(painting.dc(), 0, 0, area.cx, area.cy, buffer.get(), 0, 0, SRCCOPY);
  }

  PictureBox& picture_;
  std::vector<canvas::CanvasOp> ops_;
};

}  // namespace

void registerPictureClass() {
  WNDCLASSEXW picture{};
  picture.cbSize = sizeof(picture);
  picture.lpfnWndProc = &PictureBinding::procedure;
  picture.hInstance = GetModuleHandleW(nullptr);
  picture.hCursor =
      LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // NOLINT: the system's resource id
  picture.lpszClassName = kPictureClass;
  RegisterClassExW(&picture);  // fails harmlessly when already registered
}

std::unique_ptr<ControlBinding> bindPictureBox(PictureBox& picture, const BindingContext& context) {
  return std::make_unique<PictureBinding>(picture, context);
}

}  // namespace kvm::win32
