#pragma once

#include "platform/win32/windows_headers.h"

#include <functional>
#include <memory>

#include "ui/ui.h"

namespace kvm {
class Control;
}

namespace kvm::win32 {

// The real desktop with dialogs: message boxes, keys and windows as the plain desktop answers
// them, and each loaded form given a top-level window owned by the window `owner` names when
// it shows (the host's).
// `timersRun` false leaves the dialogs' timers to WM_TIMER messages someone posts.
std::shared_ptr<Ui> makeFormDesktop(std::function<HWND()> owner, bool timersRun = true);

// The top-level window of a loaded form on a desktop made above; null elsewhere.
HWND formWindowOf(Ui& desktop, const Form& form);

// A control's own window (null for windowless ones) and the identifier its messages carry to
// the dialog (0 when it has none), on a desktop made above.
struct ControlPlace {
  HWND window = nullptr;
  int id = 0;
};
ControlPlace controlPlaceOf(Ui& desktop, const Form& form, const Control& control);

// Shows every loaded form's model state in its window, for code that changed a model outside
// the windows' own messages.
void refreshForms(Ui& desktop);

}  // namespace kvm::win32
