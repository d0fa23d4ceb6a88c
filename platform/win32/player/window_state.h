#pragma once

#include <nlohmann/json.hpp>

namespace kvm::win32 {

// A dialog dump of the DLL (see played_desktop.h) with what the windows hold read from the
// windows themselves: texts, captions, list rows, selections, check marks, visibility and
// whether a window is enabled. The rest stays as the dialog's model has it: places and widths
// (the window layout is free), tags, colours, timers, the picture box's drawing, check marks
// drawn by the list's owner, the focus. The handles and kinds the DLL added are dropped.
nlohmann::json readWindows(const nlohmann::json& dump);

}  // namespace kvm::win32
