#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kvm::workshop {

// Lines of one flashing whose lengths fall into the same class.
struct LengthClass {
  int64_t length = 0;  // mm: the class's length, which every line of the class is cut to
  int32_t lines = 0;

  bool operator==(const LengthClass&) const = default;
};

// A drawn line's flashing length: drawn length × the flashing's line-length factor, to the
// whole millimetre (halves away from zero).
int64_t flashingLength(double drawnLength, double lengthFactor);

// The class of a flashing length: the next multiple of the step at or above it; with step 0
// every whole-millimetre length is its own class.
int64_t classLength(int64_t length, int32_t step);

// Groups the drawn lines of a flashing into length classes, shortest class first.
std::vector<LengthClass> groupIntoClasses(std::span<const double> drawnLengths, double lengthFactor,
                                          int32_t step);

}  // namespace kvm::workshop
