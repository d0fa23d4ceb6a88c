#pragma once

#include "ui/ui.h"

namespace kvm::script {

// The date of the system's own clock in its local time zone: what a session reports when its
// script fixes no date. One implementation per platform.
CalendarDate localToday();

}  // namespace kvm::script
