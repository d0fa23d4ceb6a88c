#include "platform/win32/ui/window_binding.h"

#include "platform/win32/bstr.h"
#include "platform/win32/window_data.h"

namespace kvm::win32 {

namespace {

HMENU childId(int id) {
  return fromMessageValue<HMENU>(id);  // a child's id travels as its menu
}

}  // namespace

HWND makeChild(const wchar_t* windowClass, const std::u16string& text, DWORD style, DWORD exStyle,
               const Control& control, const BindingContext& context, int extraHeight) {
  HWND window = created(u"a control's window", [&] {
    return CreateWindowExW(exStyle, windowClass, wide(text), style | WS_CHILD | WS_CLIPSIBLINGS,
                           control.left(), control.top(), control.width(),
                           control.height() + extraHeight, context.parent, childId(context.id),
                           GetModuleHandleW(nullptr), nullptr);
  });
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(context.font), FALSE);
  return window;
}

std::u16string windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);  // NOLINT: UTF-16
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

COLORREF colorRef(Color colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

}  // namespace kvm::win32
