#pragma once

#include "platform/win32/windows_headers.h"

#include <optional>
#include <string>

namespace kvm::win32 {

// A system message box as the screen shows it.
struct ShownMessageBox {
  HWND window = nullptr;
  std::u16string text;
  std::u16string title;
  std::string icon;     // "information", "question", "exclamation", "critical" or "none"
  std::string buttons;  // "ok", "okcancel", "yesno" or "yesnocancel"
};

// The message box the thread shows, if any.
std::optional<ShownMessageBox> findMessageBox(DWORD thread);

// Presses the box's button for the answer ("ok", "cancel", "yes", "no"); false when the box
// has no such button.
bool pressMessageBoxButton(const ShownMessageBox& box, const std::string& answer);

}  // namespace kvm::win32
