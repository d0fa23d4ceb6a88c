#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/control.h"
#include "ui/control_visitor.h"

namespace kvm {

// A timer: while enabled it fires every interval milliseconds. Its enabled state is the
// control's; the desktop decides when time has passed.
class Timer final : public Control {
 public:
  Timer(Form& form, std::u16string name, int32_t interval);

  [[nodiscard]] int32_t interval() const noexcept { return interval_; }

  std::function<void()> onTimer;

  // Time has passed: an enabled timer fires.
  void fire();

  void accept(ControlVisitor& visitor) const override { visitor.visit(*this); }

 private:
  int32_t interval_;
};

}  // namespace kvm
