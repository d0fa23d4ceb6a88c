#pragma once

#include "platform/win32/windows_headers.h"

#include <vector>

#include "canvas/recording_canvas.h"

namespace kvm::win32 {

// Draws a picture box's recorded operations onto a device context, as the preview drew them
// on the real one: the area first black, then the pen moves, fonts and text in order.
void replayCanvas(HDC dc, SIZE area, const std::vector<canvas::CanvasOp>& ops);

}  // namespace kvm::win32
