#include "ui/form_show.h"

#include "base/runtime_error.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace kvm {

void setWindowTopmost(Form& form, bool topmost) {
  try {
    form.ui().setWindowTopmost(form, topmost);
  } catch (const RuntimeError& error) {
    showErrorDescription(form.ui(), error.description());
  }
}

void showTopmostModal(Form& form, Timer& timer1) {
  form.load();
  setWindowTopmost(form, true);
  timer1.setEnabled(true);
  form.showModal();
}

void endTimer1Tick(Form& form, Timer& timer1) {
  timer1.setEnabled(false);
  form.ui().activateWindow(form.caption());
}

}  // namespace kvm
