#include "apps/kavelmor/script/value_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "base/text.h"
#include "dispatch/dispatch.h"

namespace kvm::script {

namespace {

template <class Real>
nlohmann::json shortestReal(Real value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  if (std::isinf(value)) {
    return value > 0 ? "Infinity" : "-Infinity";
  }
  // nlohmann prints doubles in their shortest round-trip form; a Single needs its own shortest
  // form first so that 0.8f prints as 0.8, not as the double nearest to it.
  char buffer[64];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
  return nlohmann::json::parse(std::string(buffer, result.ptr));
}

nlohmann::json elementToJson(const Variant& value, bool tagged) {
  if (tagged) {
    return valueToJson(value);
  }
  const auto& storage = value.storage();
  if (const auto* i2 = std::get_if<int16_t>(&storage)) return *i2;
  if (const auto* i4 = std::get_if<int32_t>(&storage)) return *i4;
  if (const auto* u1 = std::get_if<uint8_t>(&storage)) return *u1;
  if (const auto* r4 = std::get_if<float>(&storage)) return shortestReal(*r4);
  if (const auto* r8 = std::get_if<double>(&storage)) return shortestReal(*r8);
  if (const auto* b = std::get_if<bool>(&storage)) return *b;
  if (const auto* s = std::get_if<std::u16string>(&storage)) return toUtf8(*s);
  return valueToJson(value);
}

// The elements of dimension `depth` onwards as nested JSON arrays, the first dimension
// outermost; `next` walks the flat elements, whose last index varies fastest.
nlohmann::json nestedItems(const ArrayValue& array, std::size_t depth, std::size_t& next,
                           bool tagged) {
  auto items = nlohmann::json::array();
  const auto count = array.dimensions[depth].count;
  for (int32_t i = 0; i < count; ++i) {
    if (depth + 1 < array.dimensions.size()) {
      items.push_back(nestedItems(array, depth + 1, next, tagged));
    } else {
      items.push_back(elementToJson(array.elements.at(next++), tagged));
    }
  }
  return items;
}

}  // namespace

nlohmann::json realToJson(double value) {
  return shortestReal(value);
}
nlohmann::json realToJson(float value) {
  return shortestReal(value);
}

nlohmann::json valueToJson(const Variant& value) {
  const auto& storage = value.storage();
  if (value.isEmpty()) return nullptr;
  if (const auto* i2 = std::get_if<int16_t>(&storage)) return {{"I2", *i2}};
  if (const auto* i4 = std::get_if<int32_t>(&storage)) return {{"I4", *i4}};
  if (const auto* u1 = std::get_if<uint8_t>(&storage)) return {{"UI1", *u1}};
  if (const auto* r4 = std::get_if<float>(&storage)) return {{"R4", shortestReal(*r4)}};
  if (const auto* r8 = std::get_if<double>(&storage)) return {{"R8", shortestReal(*r8)}};
  if (const auto* b = std::get_if<bool>(&storage)) return *b;
  if (const auto* s = std::get_if<std::u16string>(&storage)) return toUtf8(*s);
  if (const auto* object = std::get_if<DispatchPtr>(&storage)) {
    return {{"object", *object ? toUtf8((*object)->typeName()) : std::string("Nothing")}};
  }
  if (value.isNull()) return {{"Null", true}};
  const auto& array = value.arrayValue();
  nlohmann::json out{{"type", varTypeTag(array.elementType)}};
  if (!array.allocated) {
    out["array"] = nullptr;
    return out;
  }
  const bool tagged = array.elementType == VarType::Variant;
  if (!array.dimensions.empty()) {
    std::size_t next = 0;
    out["array"] = nestedItems(array, 0, next, tagged);
    auto bounds = nlohmann::json::array();
    for (const auto& dimension : array.dimensions) {
      bounds.push_back(dimension.lowerBound);
    }
    out["lbound"] = std::move(bounds);
    return out;
  }
  auto items = nlohmann::json::array();
  for (const auto& item : array.elements) {
    items.push_back(elementToJson(item, tagged));
  }
  out["array"] = std::move(items);
  out["lbound"] = array.lowerBound;
  return out;
}

namespace {

double jsonReal(const nlohmann::json& json) {
  if (json.is_number()) {
    return json.get<double>();
  }
  if (json.is_string()) {
    const auto text = json.get<std::string>();
    if (text == "NaN") return std::nan("");
    if (text == "Infinity") return std::numeric_limits<double>::infinity();
    if (text == "-Infinity") return -std::numeric_limits<double>::infinity();
  }
  throw std::invalid_argument("a real number is expected, not " + json.dump());
}

template <class Int>
Int jsonInteger(const nlohmann::json& json, const char* tag) {
  if (!json.is_number_integer()) {
    throw std::invalid_argument(std::string("the value of \"") + tag + "\" must be an integer");
  }
  const auto wide = json.get<int64_t>();
  if (wide < std::numeric_limits<Int>::min() || wide > std::numeric_limits<Int>::max()) {
    throw std::invalid_argument(std::string("the value of \"") + tag + "\" is out of range");
  }
  return static_cast<Int>(wide);
}

Variant typedElement(const nlohmann::json& json, VarType type, const ObjectResolver& resolve) {
  switch (type) {
    case VarType::Integer: return jsonInteger<int16_t>(json, "I2");
    case VarType::Long: return jsonInteger<int32_t>(json, "I4");
    case VarType::Byte: return jsonInteger<uint8_t>(json, "UI1");
    case VarType::Single: return static_cast<float>(jsonReal(json));
    case VarType::Double: return jsonReal(json);
    case VarType::Boolean:
      if (!json.is_boolean()) throw std::invalid_argument("a BOOL element must be true or false");
      return json.get<bool>();
    case VarType::String:
      if (!json.is_string()) throw std::invalid_argument("a BSTR element must be a string");
      return fromUtf8(json.get<std::string>());
    default: return valueFromJson(json, resolve);
  }
}

// Reads nested JSON arrays of the given depth into flat elements, the last index varying
// fastest; every level must be as long as the first array of that level.
void collectNested(const nlohmann::json& items, std::size_t depth, ArrayValue& array, VarType type,
                   const ObjectResolver& resolve) {
  if (!items.is_array()) {
    throw std::invalid_argument("an array of " + std::to_string(array.dimensions.size()) +
                                " dimensions needs JSON arrays nested as deep");
  }
  auto& dimension = array.dimensions[depth];
  const auto count = static_cast<int64_t>(items.size());
  if (dimension.count < 0) {
    if (count > std::numeric_limits<int32_t>::max()) {
      throw std::invalid_argument("an array dimension is too long");
    }
    dimension.count = static_cast<int32_t>(count);
  } else if (dimension.count != count) {
    throw std::invalid_argument("the nested arrays of dimension " + std::to_string(depth + 1) +
                                " differ in length");
  }
  for (const auto& item : items) {
    if (depth + 1 < array.dimensions.size()) {
      collectNested(item, depth + 1, array, type, resolve);
    } else {
      array.elements.push_back(typedElement(item, type, resolve));
    }
  }
}

Variant multiDimensionalFromJson(const nlohmann::json& items, const nlohmann::json& bounds,
                                 VarType type, const ObjectResolver& resolve) {
  // The platform's arrays have at most 60 dimensions.
  if (bounds.size() < 2 || bounds.size() > 60) {
    throw std::invalid_argument("\"lbound\" as a list needs 2 to 60 lower bounds");
  }
  ArrayValue array{type, true, 0, {}, {}};
  for (const auto& bound : bounds) {
    array.dimensions.push_back({jsonInteger<int32_t>(bound, "lbound"), -1});
  }
  collectNested(items, 0, array, type, resolve);
  // A dimension after an empty one was never seen: it holds nothing either.
  for (auto& dimension : array.dimensions) {
    dimension.count = std::max(dimension.count, 0);
  }
  array.lowerBound = array.dimensions.front().lowerBound;
  return array;
}

Variant arrayFromJson(const nlohmann::json& json, const ObjectResolver& resolve) {
  VarType type = VarType::Variant;
  if (json.contains("type")) {
    const auto& tag = json.at("type");
    const auto parsed = tag.is_string() ? varTypeFromTag(tag.get<std::string>()) : std::nullopt;
    if (!parsed || *parsed == VarType::Empty || *parsed == VarType::Object) {
      throw std::invalid_argument("unknown array element type " + tag.dump());
    }
    type = *parsed;
  }
  const auto& items = json.at("array");
  if (items.is_null()) {
    return Variant::unallocatedArray(type);
  }
  if (!items.is_array()) {
    throw std::invalid_argument("\"array\" must be a JSON array or null");
  }
  ArrayValue array{type, true, 0, {}, {}};
  if (json.contains("lbound") && json.at("lbound").is_array()) {
    return multiDimensionalFromJson(items, json.at("lbound"), type, resolve);
  }
  if (json.contains("lbound")) {
    array.lowerBound = jsonInteger<int32_t>(json.at("lbound"), "lbound");
  }
  array.elements.reserve(items.size());
  for (const auto& item : items) {
    array.elements.push_back(typedElement(item, type, resolve));
  }
  return array;
}

}  // namespace

Variant valueFromJson(const nlohmann::json& json, const ObjectResolver& resolveObject) {
  switch (json.type()) {
    case nlohmann::json::value_t::null: return {};
    case nlohmann::json::value_t::boolean: return json.get<bool>();
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned: {
      const auto wide = json.get<double>();
      if (wide < INT32_MIN || wide > INT32_MAX) {
        return wide;  // too wide for a Long: the host's late binding would pass a Double
      }
      return json.get<int32_t>();
    }
    case nlohmann::json::value_t::number_float: return json.get<double>();
    case nlohmann::json::value_t::string: {
      const auto text = json.get<std::string>();
      if (!text.empty() && text[0] == '$') {
        if (auto object = resolveObject(text)) {
          return object;
        }
        throw std::invalid_argument("unknown host object " + text);
      }
      return fromUtf8(text);
    }
    case nlohmann::json::value_t::array: {
      ArrayValue array{VarType::Variant, true, 0, {}, {}};
      for (const auto& item : json) {
        array.elements.push_back(valueFromJson(item, resolveObject));
      }
      return array;
    }
    case nlohmann::json::value_t::object: {
      if (json.size() == 1) {
        // The iterator itself, not a proxy of it: a key taken from a temporary proxy dangles.
        const auto first = json.begin();
        const std::string& tag = first.key();
        const auto& inner = first.value();
        if (tag == "I2") return jsonInteger<int16_t>(inner, "I2");
        if (tag == "I4") return jsonInteger<int32_t>(inner, "I4");
        if (tag == "UI1") return jsonInteger<uint8_t>(inner, "UI1");
        if (tag == "R4") return static_cast<float>(jsonReal(inner));
        if (tag == "R8") return jsonReal(inner);
        if (tag == "Null") {
          if (inner != true) throw std::invalid_argument("Null is written {\"Null\": true}");
          return NullValue{};
        }
      }
      if (json.contains("array")) {
        return arrayFromJson(json, resolveObject);
      }
      throw std::invalid_argument("not an automation value: " + json.dump());
    }
    default: throw std::invalid_argument("not an automation value: " + json.dump());
  }
}

}  // namespace kvm::script
