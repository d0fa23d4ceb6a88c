#include "platform/win32/win32_desktop.h"

#include "platform/win32/windows_headers.h"

#include <string>

#include "base/runtime_error.h"
#include "platform/win32/bstr.h"

namespace kvm::win32 {

namespace {

// A box without a title of its own shows the application's name.
constexpr const wchar_t* kApplicationTitle = L"Kavelmor";

UINT iconStyle(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return MB_ICONINFORMATION;
    case MsgIcon::Question: return MB_ICONQUESTION;
    case MsgIcon::Exclamation: return MB_ICONEXCLAMATION;
    case MsgIcon::Critical: return MB_ICONERROR;
    case MsgIcon::None: break;
  }
  return 0;
}

UINT buttonStyle(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OkCancel: return MB_OKCANCEL;
    case MsgButtons::YesNo: return MB_YESNO;
    case MsgButtons::YesNoCancel: return MB_YESNOCANCEL;
    case MsgButtons::Ok: break;
  }
  return MB_OK;
}

MsgAnswer answerOf(int result) {
  switch (result) {
    case IDYES: return MsgAnswer::Yes;
    case IDNO: return MsgAnswer::No;
    case IDCANCEL: return MsgAnswer::Cancel;
    default: return MsgAnswer::Ok;
  }
}

class Win32Desktop final : public Ui {
 public:
  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                       MsgIcon icon, MsgButtons buttons) override {
    const std::u16string body(text);
    const wchar_t* caption = title ? wide(*title) : kApplicationTitle;
    return answerOf(MessageBoxW(GetActiveWindow(), wide(body), caption,
                                iconStyle(icon) | buttonStyle(buttons) | MB_TASKMODAL));
  }

  bool shiftDown() override {
    constexpr auto kDownBit = 0x8000U;
    return (static_cast<unsigned short>(GetAsyncKeyState(VK_SHIFT)) & kDownBit) != 0;
  }

  bool topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) override {
    const std::u16string wanted(title);
    HWND after = reinterpret_cast<HWND>(afterWindow);  // NOLINT: window handles travel as numbers
    return FindWindowExW(nullptr, after, nullptr, wide(wanted)) != nullptr;
  }

  ScreenSize screenSize() override {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }

  void activateWindow(std::u16string_view title) override {
    const std::u16string wanted(title);
    HWND window = FindWindowW(nullptr, wide(wanted));
    if (window == nullptr) {
      raise(err::kInvalidCall);
    }
    SetForegroundWindow(window);
  }

  CalendarDate today() override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
  }
};

}  // namespace

std::shared_ptr<Ui> makeWin32Desktop() {
  return std::make_shared<Win32Desktop>();
}

}  // namespace kvm::win32
