#include "model/profile_capture.h"

#include <algorithm>

namespace kvm {
namespace {

// The slot `index` of a flat array, by its own index (error 9 outside the bounds).
const Variant& slot(const Variant& marks, int64_t index) {
  return element(marks, static_cast<int32_t>(index));
}

void readPoint(const Variant& point, int16_t& x, int16_t& y) {
  x = toInteger(element(point, 0));
  y = toInteger(element(point, 1));
}

DimensionMark dimensionFromSlots(const Variant& marks, int64_t base) {
  DimensionMark mark;
  mark.Kind = toByte(slot(marks, base));
  mark.Label = toString(slot(marks, base + 1));
  mark.Style = toByte(slot(marks, base + 2));
  mark.Text = toString(slot(marks, base + 3));
  readPoint(slot(marks, base + 4), mark.TextX, mark.TextY);
  mark.TextAtPoint = toByte(slot(marks, base + 5));
  mark.TextAngle = toSingle(slot(marks, base + 6));
  if (mark.Kind == kLinearDimension) {
    mark.VertexA = toByte(slot(marks, base + 7));
    mark.VertexB = toByte(slot(marks, base + 8));
    readPoint(slot(marks, base + 9), mark.P1X, mark.P1Y);
    readPoint(slot(marks, base + 10), mark.P2X, mark.P2Y);
  } else if (mark.Kind == kAngularDimension) {
    mark.P1X = toInteger(slot(marks, base + 7));
    mark.P1Y = 0;
    mark.VertexA = toByte(slot(marks, base + 8));
    mark.VertexB = toByte(slot(marks, base + 9));
    mark.VertexC = toByte(slot(marks, base + 10));
    readPoint(slot(marks, base + 11), mark.ArcX, mark.ArcY);
    readPoint(slot(marks, base + 12), mark.P2X, mark.P2Y);
  }
  return mark;
}

TextMark textFromSlots(const Variant& marks, int64_t base) {
  TextMark mark;
  mark.Text = toString(slot(marks, base));
  mark.Angle = toSingle(slot(marks, base + 1));
  mark.AuxValue = toSingle(slot(marks, base + 2));
  readPoint(slot(marks, base + 3), mark.X, mark.Y);
  return mark;
}

// A copy of a host array; Empty or unallocated gives an unallocated array.
template <class T, class Convert>
DynamicArray<T> copyArray(const Variant& source, Convert convert) {
  if (source.isEmpty()) {
    return {};
  }
  if (!source.isArray()) {
    raise(err::kTypeMismatch);
  }
  const ArrayValue& array = source.arrayValue();
  if (!array.allocated) {
    return {};
  }
  std::vector<T> items;
  items.reserve(array.elements.size());
  for (const Variant& item : array.elements) {
    items.push_back(convert(item));
  }
  return DynamicArray<T>(std::move(items));
}

}  // namespace

int64_t markCount(const Variant& marks, int32_t slotsPerMark) {
  if (marks.isEmpty()) {
    return 0;
  }
  if (!marks.isArray()) {
    raise(err::kTypeMismatch);
  }
  const ArrayValue& array = marks.arrayValue();
  if (!array.allocated) {
    return 0;
  }
  const int64_t upper = int64_t{array.lowerBound} + static_cast<int64_t>(array.elements.size()) - 1;
  return std::max<int64_t>(0, (upper + 1) / slotsPerMark);
}

Flashing withCapturedProfile(const Flashing& flashing, const Variant& pDing, const Variant& lstLen,
                             const Variant& lstAg, const Variant& lstdim, const Variant& lstxt) {
  Flashing result = flashing;

  const int64_t dimensionCount = markCount(lstdim, kDimensionMarkSlots);
  std::vector<DimensionMark> dimensions;
  dimensions.reserve(static_cast<std::size_t>(dimensionCount));
  for (int64_t i = 0; i < dimensionCount; ++i) {
    dimensions.push_back(dimensionFromSlots(lstdim, i * kDimensionMarkSlots));
  }
  result.DimensionMarks = DynamicArray<DimensionMark>(std::move(dimensions));

  result.SegmentLengths = copyArray<int16_t>(lstLen, [](const Variant& v) { return toInteger(v); });
  result.SegmentAngles = copyArray<double>(lstAg, [](const Variant& v) { return toDouble(v); });

  const int64_t textCount = markCount(lstxt, kTextMarkSlots);
  std::vector<TextMark> texts;
  texts.reserve(static_cast<std::size_t>(textCount));
  for (int64_t i = 0; i < textCount; ++i) {
    texts.push_back(textFromSlots(lstxt, i * kTextMarkSlots));
  }
  result.TextMarks = DynamicArray<TextMark>(std::move(texts));

  result.StartX = toInteger(element(pDing, 0));
  result.StartY = toInteger(element(pDing, 1));
  return result;
}

}  // namespace kvm
