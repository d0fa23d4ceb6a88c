#pragma once

#include "platform/win32/windows_headers.h"

namespace kvm {
class Form;
}  // namespace kvm

namespace kvm::win32 {

// Puts the alias dialog's command icons into its icon column, one beside each command: small
// pictures the Win32 layout draws, since the form has no controls for them. Other forms get
// nothing. The icons are children of the dialog and go with it.
void addFormIcons(const Form& form, HWND dialog);

}  // namespace kvm::win32
