#include "base/variant.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <string_view>
#include <utility>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {

namespace {

struct TagName {
  VarType type;
  const char* tag;
};

constexpr std::array<TagName, 11> kTags{{
    {VarType::Empty, "EMPTY"},
    {VarType::Integer, "I2"},
    {VarType::Long, "I4"},
    {VarType::Byte, "UI1"},
    {VarType::Single, "R4"},
    {VarType::Double, "R8"},
    {VarType::Boolean, "BOOL"},
    {VarType::String, "BSTR"},
    {VarType::Object, "DISPATCH"},
    {VarType::Variant, "VARIANT"},
    {VarType::Null, "NULL"},
}};

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

double stringToDouble(const std::u16string& text) {
  const std::optional<double> value = parseNumber(text);
  if (!value) {
    raise(err::kTypeMismatch);
  }
  if (!std::isfinite(*value)) {
    raise(err::kOverflow);
  }
  return *value;
}

}  // namespace

const char* varTypeTag(VarType type) {
  for (const auto& entry : kTags) {
    if (entry.type == type) {
      return entry.tag;
    }
  }
  return "EMPTY";
}

std::optional<VarType> varTypeFromTag(std::string_view tag) {
  const std::u16string wide(tag.begin(), tag.end());
  for (const auto& entry : kTags) {
    const std::string_view name(entry.tag);
    if (equalsIgnoringAsciiCase(wide, std::u16string(name.begin(), name.end()))) {
      return entry.type;
    }
  }
  return std::nullopt;
}

int32_t ArrayValue::upperBound() const {
  if (!dimensions.empty()) {
    return dimensions.front().lowerBound + dimensions.front().count - 1;
  }
  return lowerBound + static_cast<int32_t>(elements.size()) - 1;
}

bool ArrayValue::operator==(const ArrayValue& other) const {
  return elementType == other.elementType && allocated == other.allocated &&
         lowerBound == other.lowerBound && elements == other.elements &&
         dimensions == other.dimensions;
}

Variant Variant::array(VarType elementType, std::vector<Variant> elements) {
  ArrayValue value;
  value.elementType = elementType;
  value.allocated = true;
  if (elementType != VarType::Variant) {
    // A typed array holds nothing but its element type.
    for (auto& item : elements) {
      item = convertTo(item, elementType);
    }
  }
  value.elements = std::move(elements);
  return {std::move(value)};
}

Variant Variant::unallocatedArray(VarType elementType) {
  ArrayValue value;
  value.elementType = elementType;
  return {std::move(value)};
}

Variant Variant::doubles(const std::vector<double>& values) {
  ArrayValue value;
  value.elementType = VarType::Double;
  value.allocated = true;
  value.elements.reserve(values.size());
  for (const double item : values) {
    value.elements.emplace_back(item);
  }
  return {std::move(value)};
}

VarType Variant::type() const {
  return std::visit(Overloaded{
                        [](std::monostate) { return VarType::Empty; },
                        [](int16_t) { return VarType::Integer; },
                        [](int32_t) { return VarType::Long; },
                        [](uint8_t) { return VarType::Byte; },
                        [](float) { return VarType::Single; },
                        [](double) { return VarType::Double; },
                        [](bool) { return VarType::Boolean; },
                        [](const std::u16string&) { return VarType::String; },
                        [](const DispatchPtr&) { return VarType::Object; },
                        [](const ArrayValue&) { return VarType::Variant; },
                        [](NullValue) { return VarType::Null; },
                    },
                    storage_);
}

bool Variant::isNumeric() const {
  switch (type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Single:
    case VarType::Double:
    case VarType::Boolean: return true;
    default: return false;
  }
}

double toDouble(const Variant& value) {
  return std::visit(Overloaded{
                        [](std::monostate) { return 0.0; },
                        [](int16_t v) { return static_cast<double>(v); },
                        [](int32_t v) { return static_cast<double>(v); },
                        [](uint8_t v) { return static_cast<double>(v); },
                        [](float v) { return static_cast<double>(v); },
                        [](double v) { return v; },
                        [](bool v) { return v ? -1.0 : 0.0; },
                        [](const std::u16string& v) { return stringToDouble(v); },
                        [](const DispatchPtr&) -> double { raise(err::kTypeMismatch); },
                        [](const ArrayValue&) -> double { raise(err::kTypeMismatch); },
                        [](NullValue) -> double { raise(err::kInvalidUseOfNull); },
                    },
                    value.storage());
}

float toSingle(const Variant& value) {
  if (value.holds<float>()) {
    return value.get<float>();
  }
  const double number = toDouble(value);
  if (std::isinf(number) || (std::isfinite(number) && std::fabs(number) > FLT_MAX)) {
    raise(err::kOverflow);
  }
  return static_cast<float>(number);
}

int32_t toLong(const Variant& value) {
  if (value.holds<int32_t>()) {
    return value.get<int32_t>();
  }
  return toLongRounded(toDouble(value));
}

int16_t toInteger(const Variant& value) {
  if (value.holds<int16_t>()) {
    return value.get<int16_t>();
  }
  return toIntegerRounded(toDouble(value));
}

uint8_t toByte(const Variant& value) {
  if (value.holds<uint8_t>()) {
    return value.get<uint8_t>();
  }
  return toByteRounded(toDouble(value));
}

bool toBoolean(const Variant& value) {
  if (value.holds<bool>()) {
    return value.get<bool>();
  }
  if (value.isString()) {
    const std::u16string text = trimSpaces(value.stringValue());
    if (equalsIgnoringAsciiCase(text, u"True")) {
      return true;
    }
    if (equalsIgnoringAsciiCase(text, u"False")) {
      return false;
    }
  }
  return toDouble(value) != 0;
}

std::u16string toString(const Variant& value) {
  return std::visit(Overloaded{
                        [](std::monostate) { return std::u16string(); },
                        [](int16_t v) { return decimal(v); },
                        [](int32_t v) { return decimal(v); },
                        [](uint8_t v) { return decimal(v); },
                        [](float v) { return generalText(v); },
                        [](double v) { return generalText(v); },
                        [](bool v) { return std::u16string(v ? u"True" : u"False"); },
                        [](const std::u16string& v) { return v; },
                        [](const DispatchPtr&) -> std::u16string { raise(err::kTypeMismatch); },
                        [](const ArrayValue&) -> std::u16string { raise(err::kTypeMismatch); },
                        [](NullValue) -> std::u16string { raise(err::kInvalidUseOfNull); },
                    },
                    value.storage());
}

DispatchPtr toObject(const Variant& value) {
  if (!value.isObject()) {
    raise(err::kTypeMismatch);
  }
  return value.objectValue();
}

Variant convertTo(const Variant& value, VarType type) {
  if (type == VarType::Variant) {
    return value;
  }
  if (value.isArray()) {
    raise(err::kTypeMismatch);
  }
  switch (type) {
    case VarType::Empty: return {};
    case VarType::Null: return NullValue{};
    case VarType::Integer: return toInteger(value);
    case VarType::Long: return toLong(value);
    case VarType::Byte: return toByte(value);
    case VarType::Single: return toSingle(value);
    case VarType::Double: return toDouble(value);
    case VarType::Boolean: return toBoolean(value);
    case VarType::String: return toString(value);
    case VarType::Object: return toObject(value);
    case VarType::Variant: break;
  }
  return value;
}

Variant convertArgument(const Variant& value, VarType type) {
  if (value.isNull() && type != VarType::Variant) {
    raise(err::kTypeMismatch);
  }
  return convertTo(value, type);
}

const Variant& element(const Variant& arrayValue, int32_t index) {
  if (!arrayValue.isArray()) {
    raise(err::kTypeMismatch);
  }
  const ArrayValue& array = arrayValue.arrayValue();
  if (array.dimensionCount() != 1) {
    raise(err::kSubscriptOutOfRange);
  }
  const int64_t offset = static_cast<int64_t>(index) - array.lowerBound;
  if (!array.allocated || offset < 0 || offset >= static_cast<int64_t>(array.elements.size())) {
    raise(err::kSubscriptOutOfRange);
  }
  return array.elements[static_cast<size_t>(offset)];
}

}  // namespace kvm
