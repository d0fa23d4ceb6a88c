#include "platform/sim/host/text_object.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

namespace {

constexpr std::array<int32_t, 27> kLineweights{-3, -2, -1,  0,   5,   9,   13,  15,  18,
                                               20, 25, 30,  35,  40,  50,  53,  60,  70,
                                               80, 90, 100, 106, 120, 140, 158, 200, 211};

const std::vector<std::u16string>& linetypes() {
  static const std::vector<std::u16string> table{u"ByLayer", u"ByBlock", u"Continuous"};
  return table;
}

double positive(const Variant& value) {
  const double number = toDouble(value);
  if (!std::isfinite(number) || number <= 0) {
    raise(err::kInvalidCall);
  }
  return number;
}

int32_t inRange(const Variant& value, int32_t low, int32_t high) {
  const int32_t number = toLong(value);
  if (number < low || number > high) {
    raise(err::kInvalidCall);
  }
  return number;
}

nlohmann::json pointJson(const Point3& point) {
  return {point.x, point.y, point.z};
}

}  // namespace

TextObject::TextObject(std::shared_ptr<const HostContext> context, std::u16string text,
                       const Point3& point, double height)
    : context_(std::move(context)),
      text_(std::move(text)),
      insertion_(point),
      alignmentPoint_(point),
      height_(height) {}

std::u16string TextObject::tableName(const std::vector<std::u16string>& table,
                                     const Variant& value) const {
  std::optional<std::u16string> name = findTableName(table, toString(value));
  if (!name) {
    raise(err::kInvalidCall, u"Key not found");
  }
  return *std::move(name);
}

Box3 TextObject::boundingBox() const {
  // A left-aligned text stands on its insertion point; every other alignment on its
  // alignment point.
  const Point3& reference = alignment_ == 0 ? insertion_ : alignmentPoint_;
  return textBoundingBox(text_, reference, alignment_, height_, scaleFactor_);
}

Variant TextObject::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"TextString")) return text_;
  if (call.put(u"TextString")) {
    text_ = toString(call.value());
    return {};
  }
  if (call.get(u"InsertionPoint")) return pointValue(insertion_);
  if (call.put(u"InsertionPoint")) {
    insertion_ = pointArgument(call.value());
    return {};
  }
  if (call.get(u"TextAlignmentPoint")) return pointValue(alignmentPoint_);
  if (call.put(u"TextAlignmentPoint")) {
    alignmentPoint_ = pointArgument(call.value());
    return {};
  }
  if (call.get(u"Alignment")) return alignment_;
  if (call.put(u"Alignment")) {
    alignment_ = inRange(call.value(), 0, 14);
    return {};
  }
  if (call.get(u"Height")) return height_;
  if (call.put(u"Height")) {
    height_ = positive(call.value());
    return {};
  }
  if (call.get(u"StyleName")) return style_;
  if (call.put(u"StyleName")) {
    style_ = tableName(context_->styles, call.value());
    return {};
  }
  if (call.get(u"Layer")) return layer_;
  if (call.put(u"Layer")) {
    layer_ = tableName(context_->layers, call.value());
    return {};
  }
  if (call.get(u"ScaleFactor")) return scaleFactor_;
  if (call.put(u"ScaleFactor")) {
    scaleFactor_ = positive(call.value());
    return {};
  }
  if (call.get(u"color")) return color_;
  if (call.put(u"color")) {
    color_ = inRange(call.value(), 0, 256);
    return {};
  }
  if (call.get(u"Linetype")) return linetype_;
  if (call.put(u"Linetype")) {
    linetype_ = tableName(linetypes(), call.value());
    return {};
  }
  if (call.get(u"LinetypeScale")) return linetypeScale_;
  if (call.put(u"LinetypeScale")) {
    linetypeScale_ = positive(call.value());
    return {};
  }
  if (call.get(u"Lineweight")) return lineweight_;
  if (call.put(u"Lineweight")) {
    const int32_t weight = toLong(call.value());
    if (std::find(kLineweights.begin(), kLineweights.end(), weight) == kLineweights.end()) {
      raise(err::kInvalidCall);
    }
    lineweight_ = weight;
    return {};
  }
  if (call.get(u"ObjectName")) return Variant(u"AcDbText");
  if (call.get(u"GetBoundingBox", 2)) {
    const Box3 box = boundingBox();
    call.byRef(0) = pointValue(box.min);
    call.byRef(1) = pointValue(box.max);
    return {};
  }
  call.fail();
}

nlohmann::json TextObject::dump() const {
  const Box3 box = boundingBox();
  return {{"text", toUtf8(text_)},
          {"insertion", pointJson(insertion_)},
          {"alignmentPoint", pointJson(alignmentPoint_)},
          {"alignment", alignment_},
          {"height", height_},
          {"style", toUtf8(style_)},
          {"layer", toUtf8(layer_)},
          {"scaleFactor", scaleFactor_},
          {"color", color_},
          {"linetype", toUtf8(linetype_)},
          {"linetypeScale", linetypeScale_},
          {"lineweight", lineweight_},
          {"bbox", {pointJson(box.min), pointJson(box.max)}}};
}

}  // namespace kvm::sim
