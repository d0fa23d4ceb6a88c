#include "cutting/line_segments.h"

#include "base/runtime_error.h"

namespace kvm {

void LineSegments::add(const Variant& start, const Variant& end) {
  // The element count is held in 16 bits: the 8193rd line overflows before anything changes.
  if (values_.size() + 4 > kMaxElements) {
    raise(err::kOverflow);
  }
  const double startX = toDouble(element(start, 0));
  const double startY = toDouble(element(start, 1));
  const double endX = toDouble(element(end, 0));
  const double endY = toDouble(element(end, 1));
  values_.insert(values_.end(), {startX, startY, endX, endY});
}

Variant LineSegments::toVariant() const {
  if (values_.empty()) {
    return Variant::unallocatedArray(VarType::Double);
  }
  return Variant::doubles(values_);
}

}  // namespace kvm
