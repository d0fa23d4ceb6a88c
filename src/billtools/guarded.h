#pragma once

#include "base/runtime_error.h"
#include "ui/ui.h"

namespace kvm {

// Runs a dialog's command under its error handler: a run-time error is shown in a message box
// and goes no further.
template <class Command>
void guarded(Ui& ui, Command command) {
  try {
    command();
  } catch (const RuntimeError& error) {
    showErrorDescription(ui, error.description());
  }
}

}  // namespace kvm
