#pragma once

#include <cstdint>
#include <string_view>

#include "base/variant.h"

namespace kvm::sim {

struct Point3 {
  double x = 0;
  double y = 0;
  double z = 0;
  bool operator==(const Point3& other) const = default;
};

struct Box3 {
  Point3 min;
  Point3 max;
};

// A point argument: an array of three numbers (13 when it is not an array of numbers, 5 when
// it has another size).
Point3 pointArgument(const Variant& value);
Variant pointValue(const Point3& point);

// The extent of a single-line text as the simulated host measures it: `height` high, each
// character advancing height × scaleFactor, half of that for a character of one GBK byte;
// placed on the reference point by the alignment (left, centre, right on the baseline; top,
// middle, bottom rows below). Fit and aligned texts measure like left ones.
Box3 textBoundingBox(std::u16string_view text, const Point3& reference, int32_t alignment,
                     double height, double scaleFactor);

}  // namespace kvm::sim
