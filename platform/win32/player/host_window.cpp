#include "platform/win32/player/host_window.h"

#include <array>
#include <string>

#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kHostClass = L"KavelmorScriptHost";
constexpr UINT kMark = WM_APP + 1;

std::u16string systemMessage(DWORD code) {
  std::array<wchar_t, 512> text{};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
  while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' ||
                        text[length - 1] == L' ' || text[length - 1] == L'.')) {
    --length;
  }
  if (length == 0) {
    return u"system error " + decimal(static_cast<long long>(code));
  }
  return {reinterpret_cast<const char16_t*>(text.data()), length};  // NOLINT: UTF-16 both
}

// Why the runner cannot show windows: wine needs an X server for any window.
[[noreturn]] void noWindow(DWORD code) {
  std::u16string reason = u"the runner's window cannot be created";
  if (code != ERROR_SUCCESS) {
    reason += u" (" + systemMessage(code) + u")";
  }
  if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
    reason += u": the dialogs need a screen, and DISPLAY names none";
  }
  raise(err::kInvalidCall, reason);
}

}  // namespace

HostWindow::HostWindow() : markEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (markEvent_ == nullptr) {
    raise(err::kOutOfMemory);
  }
  WNDCLASSEXW host{};
  host.cbSize = sizeof(host);
  host.lpfnWndProc = &HostWindow::procedure;
  host.hInstance = GetModuleHandleW(nullptr);
  host.lpszClassName = kHostClass;
  RegisterClassExW(&host);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kHostClass, L"Kavelmor script host", WS_OVERLAPPEDWINDOW, 0, 0, 320,
                            200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) {
    const DWORD code = GetLastError();
    CloseHandle(markEvent_);
    noWindow(code);
  }
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));  // NOLINT
}

HostWindow::~HostWindow() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  CloseHandle(markEvent_);
}

std::uint64_t HostWindow::postMark() {
  const std::uint64_t mark = ++posted_;
  PostMessageW(window_, kMark, static_cast<WPARAM>(mark), 0);
  return mark;
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
  if (self != nullptr && message == kMark) {
    std::uint64_t seen = self->reached_;
    while (seen < wParam && !self->reached_.compare_exchange_weak(seen, wParam)) {
    }
    SetEvent(self->markEvent_);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kvm::win32
