#pragma once

#include "platform/win32/windows_headers.h"

#include <string>

namespace kvm::win32 {

// A window's text, read with WM_GETTEXT (a window of another thread answers from its loop).
inline std::u16string textOfWindow(HWND window) {
  const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::u16string text(length + 1, u'\0');
  const auto copied = static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                   reinterpret_cast<LPARAM>(text.data())));  // NOLINT: the buffer as a number
  text.resize(copied < length ? copied : length);
  return text;
}

}  // namespace kvm::win32
