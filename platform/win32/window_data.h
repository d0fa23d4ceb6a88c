#pragma once

#include "platform/win32/windows_headers.h"

namespace kvm::win32 {

// A window keeps the object behind its procedure, and messages carry handles and procedures,
// as numbers; these are the only places where such a number turns back into a pointer.

template <class T>
void attachToWindow(HWND window, T* object) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

template <class T>
T* attachedTo(HWND window) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the window holds the object's address
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A handle or procedure that a message or window long carries.
template <class Handle>
Handle fromMessageValue(LONG_PTR value) {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries the handle as a number
  return reinterpret_cast<Handle>(value);
}

}  // namespace kvm::win32
