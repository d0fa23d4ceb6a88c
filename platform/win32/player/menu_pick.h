#pragma once

#include "platform/win32/windows_headers.h"

#include <functional>
#include <string>

namespace kvm::win32 {

// The context menu the thread shows, nullptr when none is open.
HWND openMenu(DWORD thread);

// Picks the item with the caption from the open menu by keys, as the user may: Up or Down, one
// at a time, until the item is lit, then Enter; `settled` waits after each key until the
// menu's thread has handled it (false: the call returned meanwhile). A caption the menu does
// not have closes the menu with nothing picked.
void pickMenuItem(HWND menu, const std::u16string& caption, const std::function<bool()>& settled);

}  // namespace kvm::win32
