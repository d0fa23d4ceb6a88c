#include "platform/win32/player/host_window.h"

#include "base/runtime_error.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kHostClass = L"KavelmorScriptHost";
constexpr UINT kMark = WM_APP + 1;

}  // namespace

HostWindow::HostWindow() : markEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  WNDCLASSEXW host{};
  host.cbSize = sizeof(host);
  host.lpfnWndProc = &HostWindow::procedure;
  host.hInstance = GetModuleHandleW(nullptr);
  host.lpszClassName = kHostClass;
  RegisterClassExW(&host);  // fails harmlessly when already registered
  window_ = CreateWindowExW(0, kHostClass, L"Kavelmor script host", WS_OVERLAPPEDWINDOW, 0, 0, 320,
                            200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr || markEvent_ == nullptr) {
    raise(err::kOutOfMemory);
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
