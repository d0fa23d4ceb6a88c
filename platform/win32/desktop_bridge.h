#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

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
//   FormEvent(kind String, form String, caption String): "shown", "hidden" or "unloaded"
//   OwnerWindow() -> Double: the window that owns the dialogs, 0 for none; asked before the
//     first dialog or message box shows
// Dialogs stay on the DLL's side: their form objects cannot cross, only what happened to them.

// What a program hears of the dialogs the DLL shows on real windows, and the window it gives
// them as owner (the host's main window).
struct DialogReports {
  std::function<void(std::u16string_view kind, std::u16string_view form,
                     std::u16string_view caption)>
      formEvent;
  std::function<std::intptr_t()> ownerWindow;
};

// The program's side: its desktop as an automation object.
DispatchPtr desktopAsDispatch(std::shared_ptr<Ui> desktop, DialogReports reports = {});

// The DLL's side: the automation object seen as a desktop again. Failures of the far side
// come back as the run-time errors it reported.
std::shared_ptr<Ui> desktopFromDispatch(DispatchPtr desktop);

}  // namespace kvm::win32
