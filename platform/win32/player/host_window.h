#pragma once

#include "platform/win32/windows_headers.h"

#include <atomic>
#include <cstdint>

#include "platform/win32/handles.h"

namespace kvm::win32 {

// The runner's stand-in for the CAD host's main window: it owns the component's dialogs, and
// tells a second thread when the runner's thread has come back to a message loop (its own
// dialog's, a message box's or a menu's): messages posted to it are handled in order after
// everything posted before them.
class HostWindow {
 public:
  HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HostWindow(HostWindow&&) = delete;
  HostWindow& operator=(HostWindow&&) = delete;
  ~HostWindow();

  [[nodiscard]] HWND handle() const noexcept { return window_.get(); }

  // From any thread: a mark behind every message posted so far; reached(mark) once the
  // window's thread has handled it.
  [[nodiscard]] std::uint64_t postMark();
  [[nodiscard]] bool reached(std::uint64_t mark) const noexcept { return reached_ >= mark; }
  // Signalled whenever a mark is reached.
  [[nodiscard]] HANDLE markEvent() const noexcept { return markEvent_.get(); }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The event first: made before the window, closed after it.
  UniqueKernelHandle markEvent_;
  UniqueWindow window_;
  std::atomic<std::uint64_t> posted_{0};
  std::atomic<std::uint64_t> reached_{0};
};

}  // namespace kvm::win32
