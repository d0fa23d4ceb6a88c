#pragma once

#include "platform/win32/windows_headers.h"

#include <map>

#include "platform/win32/ui/control_binding.h"

namespace kvm {
class Control;
class Form;
}  // namespace kvm

namespace kvm::win32 {

// Gives a form's boxes the names a user reads beside them where the form itself has no label
// for them: static captions of the Win32 layout only, so the form's controls stay as they are.
// A box whose caption goes above it may be moved a few pixels to make room. The captions are
// children of the dialog and go with it. The alias dialog gets its command icons here too.
void addFormCaptions(const Form& form, HWND dialog, HFONT font,
                     const std::map<const Control*, ControlBinding*>& bindings);

}  // namespace kvm::win32
