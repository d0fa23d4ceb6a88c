#include "platform/sim/host/geometry.h"

#include "base/codepage.h"
#include "base/runtime_error.h"

namespace kvm::sim {

namespace {

double textWidth(std::u16string_view text, double height, double scaleFactor) {
  const double fullWidth = height * scaleFactor;
  double width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool singleByte = gbkByteLength(text.substr(i, 1)) == 1;
    width += singleByte ? fullWidth / 2 : fullWidth;
  }
  return width;
}

// Horizontal share of the width left of the reference point: 0, ½ or 1.
double horizontalShare(int32_t alignment) {
  switch (alignment) {
    case 1:
    case 4:
    case 7:
    case 10:
    case 13: return 0.5;
    case 2:
    case 8:
    case 11:
    case 14: return 1.0;
    default: return 0.0;
  }
}

// Share of the height below the reference point.
double verticalShare(int32_t alignment) {
  switch (alignment) {
    case 6:
    case 7:
    case 8: return 1.0;
    case 4:
    case 9:
    case 10:
    case 11: return 0.5;
    default: return 0.0;
  }
}

}  // namespace

Point3 pointArgument(const Variant& value) {
  if (!value.isArray()) {
    raise(err::kTypeMismatch);
  }
  const ArrayValue& array = value.arrayValue();
  if (array.elements.size() != 3) {
    raise(err::kInvalidCall);
  }
  return {toDouble(array.elements[0]), toDouble(array.elements[1]), toDouble(array.elements[2])};
}

Variant pointValue(const Point3& point) {
  return Variant::doubles({point.x, point.y, point.z});
}

Box3 textBoundingBox(std::u16string_view text, const Point3& reference, int32_t alignment,
                     double height, double scaleFactor) {
  const double width = textWidth(text, height, scaleFactor);
  Box3 box;
  box.min.x = reference.x - width * horizontalShare(alignment);
  box.max.x = box.min.x + width;
  box.min.y = reference.y - height * verticalShare(alignment);
  box.max.y = box.min.y + height;
  return box;
}

}  // namespace kvm::sim
