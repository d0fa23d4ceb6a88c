#pragma once

#include <memory>

#include "dispatch/dispatch.h"
#include "ui/ui.h"

namespace kvm::win32 {

// A desktop (Ui) carried across the DLL boundary as an automation object, so that a program
// can hand the DLL its own desktop through COM alone, with no C++ object crossing between
// the two modules. Members:
//   MessageBox(text String, title String or Empty, icon Integer, buttons Integer) -> Integer
//     (icon, buttons and the answer are the positions of MsgIcon, MsgButtons, MsgAnswer)
//   ShiftDown() -> Boolean
//   TopLevelWindowAfter(afterWindow Double, title String) -> Boolean
//   Today() -> array of three Longs: year, month, day
//   ScreenSize() -> array of two Longs: width, height in pixels
//   ActivateWindow(title String)
// Dialogs stay on the DLL's side: their form objects cannot cross.

// The program's side: its desktop as an automation object.
DispatchPtr desktopAsDispatch(std::shared_ptr<Ui> desktop);

// The DLL's side: the automation object seen as a desktop again. Failures of the far side
// come back as the run-time errors it reported.
std::shared_ptr<Ui> desktopFromDispatch(DispatchPtr desktop);

}  // namespace kvm::win32
