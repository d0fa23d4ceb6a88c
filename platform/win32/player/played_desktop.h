#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "dispatch/dispatch.h"
#include "ui/ui.h"

namespace kvm::win32 {

// The desktop a script runner installs in the DLL (see desktop_bridge.h): the dialogs on real
// windows owned by the runner's main window, real message boxes and timers that fire only
// when a WM_TIMER is posted, the rest (Shift, the window list, the date, the screen) as the
// runner's script says. The runner hears of every dialog shown, hidden and unloaded in the
// order it happens, and plays the user's part on the windows themselves.
std::shared_ptr<Ui> makePlayedDesktop(const DispatchPtr& runner);

// The runner's dumps of the dialogs, as JSON text (the dump shapes of host scripts):
//   "forms"          the loaded and shown dialogs
//   "form:NAME"      one loaded dialog
//   "top"            the dialog shown on top: {"form": NAME, "value": its dump}
//   "control:NAME"   one control of the dialog on top
// Each control's state also carries "$kind" and, where it has them, "$window" (its window
// handle) and "$id" (the identifier its messages carry), so that the runner can act on the
// window and read what the window holds. std::invalid_argument when there is nothing to dump.
std::string dumpPlayedDesktop(Ui& desktop, std::u16string_view what);

}  // namespace kvm::win32
