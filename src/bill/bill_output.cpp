#include "bill/bill_output.h"

#include "base/runtime_error.h"

namespace kvm {

namespace {
constexpr int32_t kMiddleCenter = 10;
constexpr int32_t kTopLeft = 6;
constexpr int32_t kTopRight = 8;
constexpr double kRowPitch = 580;
constexpr double kValueColumn = 2000;

Point3 pointFromVariant(const Variant& value) {
  return {toDouble(element(value, 0)), toDouble(element(value, 1)), toDouble(element(value, 2))};
}
}  // namespace

Variant pointVariant(const Point3& point) {
  return Variant::doubles({point.x, point.y, point.z});
}

void BillOutput::start(double originX, double originY, int16_t textHeight) {
  originX_ = originX;
  originY_ = originY;
  blockIndex_ = -1;
  textHeight_ = textHeight;
}

void BillOutput::startBlock(int32_t blockId) {
  const auto base = blockBase();
  const auto offset = blockOffset(blockId);
  rowPoint_ = {base.x + offset.x, base.y + offset.y, 0};
  if (blockIndex_ == INT32_MAX) {
    raise(err::kOverflow);
  }
  ++blockIndex_;
}

void BillOutput::writeCountRow(const DispatchPtr& modelSpace, const std::u16string& label,
                               const std::u16string& value) {
  addBillText(modelSpace, label, rowPoint_, textHeight_, kMiddleCenter);
  addBillText(modelSpace, value, {rowPoint_.x + kValueColumn, rowPoint_.y, 0}, textHeight_,
              kMiddleCenter);
  rowPoint_.y -= kRowPitch;
}

void BillOutput::writeTotals(const DispatchPtr& modelSpace, const std::u16string& area,
                             const std::u16string& length, int32_t blockId) const {
  const auto offset = blockOffset(blockId);
  Point3 totals{originX_ + 4115 + offset.x, originY_ - 1680 + offset.y, 0};
  const auto areaText =
      addBillText(modelSpace, u"累计面积 " + area + u"m", totals, textHeight_, kTopLeft);

  // The superscript follows the caption's real extent, so it is placed after the text exists.
  std::vector<Variant> corners{Variant(), Variant()};
  callByRef(areaText, u"GetBoundingBox", corners);
  const Point3 maxCorner = pointFromVariant(corners[1]);
  addBillText(modelSpace, u"2", {maxCorner.x + 0.22 * textHeight_, maxCorner.y, maxCorner.z},
              0.5 * textHeight_, kTopLeft);

  totals.x += 6348;
  addBillText(modelSpace, u"累计总长 " + length + u"m", totals, textHeight_, kTopRight);
}

DispatchPtr addBillText(const DispatchPtr& modelSpace, const std::u16string& text,
                        const Point3& point, double height, int32_t alignment) {
  auto object = requireObject(call(modelSpace, u"AddText", {text, pointVariant(point), height}));
  put(object, u"Alignment", alignment);
  put(object, u"TextAlignmentPoint", pointVariant(point));
  put(object, u"StyleName", u"HZTXT");
  put(object, u"Layer", u"BJ-清单");
  put(object, u"ScaleFactor", 0.7);
  put(object, u"color", int32_t{7});
  put(object, u"Linetype", u"ByLayer");
  put(object, u"LinetypeScale", 1.0);
  put(object, u"Lineweight", int32_t{-1});
  return object;
}

}  // namespace kvm
