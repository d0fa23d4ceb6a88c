#include "platform/win32/player/host_window.h"

#include <string>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_data.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kHostClass = L"KavelmorScriptHost";
constexpr UINT kMark = WM_APP + 1;

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

HostWindow::HostWindow()
    : markEvent_(created(u"the runner's event",
                         [&] { return CreateEventW(nullptr, FALSE, FALSE, nullptr); })) {
  WNDCLASSEXW host{};
  host.cbSize = sizeof(host);
  host.lpfnWndProc = &HostWindow::procedure;
  host.hInstance = GetModuleHandleW(nullptr);
  host.lpszClassName = kHostClass;
  RegisterClassExW(&host);      // fails harmlessly when already registered
  SetLastError(ERROR_SUCCESS);  // without a screen the call may fail without a reason
  HWND window = CreateWindowExW(0, kHostClass, L"Kavelmor script host", WS_OVERLAPPEDWINDOW, 0, 0,
                                320, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) {
    noWindow(GetLastError());  // the event is a member made already: it is closed
  }
  window_.reset(window);
  attachToWindow(window_.get(), this);
}

HostWindow::~HostWindow() {
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

std::uint64_t HostWindow::postMark() {
  const std::uint64_t mark = ++posted_;
  PostMessageW(window_.get(), kMark, static_cast<WPARAM>(mark), 0);
  return mark;
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = attachedTo<HostWindow>(window);
  if (self != nullptr && message == kMark) {
    std::uint64_t seen = self->reached_;
    while (seen < wParam && !self->reached_.compare_exchange_weak(seen, wParam)) {
    }
    SetEvent(self->markEvent_.get());
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace kvm::win32
