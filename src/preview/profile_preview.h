#pragma once

#include <cstdint>

#include "canvas/canvas.h"
#include "model/flashing.h"
#include "preview/preview_area.h"
#include "ui/ui.h"

namespace kvm::preview {

// 6600 profile units span the width of the drawing area.
inline constexpr double kProfileUnitsAcross = 6600.0;

struct Point16 {
  int16_t x = 0;
  int16_t y = 0;

  bool operator==(const Point16&) const = default;
};

// The point `distance` away from `point` in direction `angle` (radians), each coordinate
// rounded halves to even; a coordinate outside 16 bits is error 6.
Point16 polarPoint(Point16 point, double angle, int16_t distance);

// The colour of the dimension texts and scale labels: 1 green, 2 red, anything else magenta.
canvas::Rgb scaleColour(uint8_t scaleCode);

// Draws the flashing's outline, text marks and dimension texts into the area. An error
// (a coordinate beyond 16 bits, a missing or short profile list) ends the drawing where it
// happens and is shown as a message; what was drawn stays, and the fonts made for the
// drawing are released either way.
void drawPreview(const Flashing& flashing, PreviewArea& area, Ui& ui);

// What selecting a flashing shows: its profile, or a cleared area when it has none.
void showFlashingPreview(const Flashing& flashing, PreviewArea& area, Ui& ui);

}  // namespace kvm::preview
