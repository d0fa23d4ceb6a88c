#pragma once

#include <memory>

#include "ui/ui.h"

namespace kvm::win32 {

// The real desktop: system message boxes, the keyboard, the window list and the local date.
std::shared_ptr<Ui> makeWin32Desktop();

}  // namespace kvm::win32
