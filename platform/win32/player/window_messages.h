#pragma once

#include "platform/win32/windows_headers.h"

#include <nlohmann/json.hpp>

namespace kvm::win32 {

// However long a step of the component may take, its windows answer well within this.
inline constexpr DWORD kAnswerMilliseconds = 60'000;
// How often the player looks again while it waits.
inline constexpr DWORD kPollMilliseconds = 20;

// The window handle a dump of the DLL's desktop gives under "$window", nullptr when none.
HWND windowIn(const nlohmann::json& state);

// Posts a message to a window of the component's thread; the script stops when it cannot.
void post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace kvm::win32
