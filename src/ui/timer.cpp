#include "ui/timer.h"

namespace kvm {

Timer::Timer(Form& form, std::u16string name, int32_t interval)
    : Control(form, std::move(name)), interval_(interval) {
  setVisible(false);
  setEnabled(false);
}

void Timer::fire() {
  if (enabled() && onTimer) {
    onTimer();
  }
}

}  // namespace kvm
