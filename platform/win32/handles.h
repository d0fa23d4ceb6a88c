#pragma once

#include "platform/win32/windows_headers.h"

#include <string>
#include <string_view>
#include <utility>

namespace kvm::win32 {

// Owns one handle of the system and gives it back with Close when it goes, on every path.
// A null handle is none.
template <class T, class Close>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  [[nodiscard]] T get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

  T release() noexcept { return std::exchange(handle_, nullptr); }
  void reset(T handle = nullptr) noexcept {
    if (T old = std::exchange(handle_, handle); old != nullptr) {
      Close{}(old);
    }
  }

 private:
  T handle_ = nullptr;
};

struct DestroyWindowClose {
  void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
struct DeleteObjectClose {
  void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct DeleteDcClose {
  void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
struct DestroyMenuClose {
  void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
struct CloseHandleClose {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};

using UniqueWindow = UniqueHandle<HWND, DestroyWindowClose>;
using UniqueFont = UniqueHandle<HFONT, DeleteObjectClose>;
using UniquePen = UniqueHandle<HPEN, DeleteObjectClose>;
using UniqueBrush = UniqueHandle<HBRUSH, DeleteObjectClose>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObjectClose>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDcClose>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuClose>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandleClose>;  // events, threads

// A window's device context (the screen's for none), released when it goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&&) = delete;
  WindowDc& operator=(WindowDc&&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) {
      ReleaseDC(window_, dc_);
    }
  }

  [[nodiscard]] HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A window's painting, begun here and ended when it goes, however it ends.
class Painting {
 public:
  explicit Painting(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
  Painting(const Painting&) = delete;
  Painting& operator=(const Painting&) = delete;
  Painting(Painting&&) = delete;
  Painting& operator=(Painting&&) = delete;
  ~Painting() { EndPaint(window_, &paint_); }

  [[nodiscard]] HDC dc() const noexcept { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context for the life of this guard; the one it replaced
// goes back in after.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), before_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  SelectedObject(SelectedObject&&) = delete;
  SelectedObject& operator=(SelectedObject&&) = delete;
  ~SelectedObject() {
    if (before_ != nullptr) {
      SelectObject(dc_, before_);
    }
  }

 private:
  HDC dc_;
  HGDIOBJ before_;
};

// The system's text for an error code, without its closing full stop.
std::u16string systemMessage(DWORD code);

// Raises error 7 "Out of memory" when a creating call gave no handle: the system is short of
// the resource (handles, GDI objects, desktop heap). The description names what could not be
// made and the system's reason, from the last error read right after the call.
[[noreturn]] void raiseNotCreated(std::u16string_view what, DWORD lastError);

// What create() returns (a creating call of the system), or raiseNotCreated. The last error
// is cleared first: some calls fail without setting it, and a stale one is no reason.
template <class Create>
auto created(std::u16string_view what, Create&& create) {
  SetLastError(ERROR_SUCCESS);
  auto handle = std::forward<Create>(create)();
  if (handle == nullptr) {
    raiseNotCreated(what, GetLastError());
  }
  return handle;
}

}  // namespace kvm::win32
