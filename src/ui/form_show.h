#pragma once

namespace kvm {

class Form;
class Timer;

// The standard module's routine that raises a dialog's window to the top-most layer (or
// puts it back among the normal windows) without moving it; a failure shows its
// description.
void setWindowTopmost(Form& form, bool topmost);

// How a method shows its dialog: load it, make it top-most, enable its one-shot Timer1 (whose
// first tick drops the top-most state again) and show it modally. Returns when the dialog is
// hidden or unloaded; the method then returns the result string.
void showTopmostModal(Form& form, Timer& timer1);

// The end of every Timer1 tick of such a dialog: the timer off and the dialog's own window
// activated by its caption.
void endTimer1Tick(Form& form, Timer& timer1);

}  // namespace kvm
