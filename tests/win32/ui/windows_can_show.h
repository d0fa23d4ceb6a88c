#pragma once

#include <windows.h>

namespace kvm::win32 {

// Whether this session has a screen to make windows on; tests of real windows skip without.
inline bool windowsCanShow() {
  HWND probe =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe == nullptr) {
    return false;
  }
  DestroyWindow(probe);
  return true;
}

}  // namespace kvm::win32
