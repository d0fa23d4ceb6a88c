#include "fuzz/automation_values.h"

#include <array>
#include <string>

namespace kvm::fuzz {

namespace {

using nlohmann::json;

json realValue(ByteSource& source) {
  static constexpr std::array kReals{0.0,     -1.0,     0.5,          2.5,         32767.0,
                                     32768.0, -32769.0, 65535.5,      1e10,        -1e300,
                                     1e-300,  6600.0,   2147483647.0, 2147483648.0};
  switch (source.pick(4)) {
    case 0: return kReals.at(source.pick(kReals.size()));
    case 1: return static_cast<double>(source.int32()) / 16.0;
    case 2: {
      static constexpr std::array kSpecial{"NaN", "Infinity", "-Infinity"};
      return kSpecial.at(source.pick(kSpecial.size()));
    }
    default: return static_cast<double>(static_cast<int8_t>(source.byte())) * 100.0;
  }
}

int64_t integerValue(ByteSource& source) {
  static constexpr std::array<int64_t, 10> kIntegers{0,     1,      -1,    255,        256,
                                                     32767, -32768, 32768, 2147483647, 6600};
  switch (source.pick(3)) {
    case 0: return kIntegers.at(source.pick(kIntegers.size()));
    case 1: return source.int32();
    default: return static_cast<int8_t>(source.byte());
  }
}

std::string textValue(ByteSource& source) {
  static constexpr std::array<const char*, 16> kPieces{
      "a",    "0",    "1",    "-",    ".",    ",",    ":",   " ",
      "\x01", "\x02", "\x03", "\x04", "\x05", "包角", "dao", "list"};
  std::string text;
  const std::size_t count = source.pick(12);
  for (std::size_t i = 0; i < count; ++i) {
    text += kPieces.at(source.pick(kPieces.size()));
  }
  return text;
}

json typedElement(ByteSource& source, const std::string& type, int depth) {
  if (type == "BOOL") return source.pick(2) == 1;
  if (type == "BSTR") return textValue(source);
  if (type == "VARIANT") return automationValue(source, depth - 1);
  if (type == "R4" || type == "R8") return realValue(source);
  return integerValue(source);
}

json arrayValue(ByteSource& source, int depth) {
  static constexpr std::array kTypes{"I2", "I4", "UI1", "R4", "R8", "BOOL", "BSTR", "VARIANT"};
  const std::string type = kTypes.at(source.pick(kTypes.size()));
  if (source.pick(8) == 0) {
    return {{"array", nullptr}, {"type", type}};
  }
  static constexpr std::array<int32_t, 5> kBounds{0, 0, 1, -1, 2147483647};
  json elements = json::array();
  const std::size_t count = source.pick(5) == 0 ? source.pick(64) : source.pick(8);
  for (std::size_t i = 0; i < count; ++i) {
    elements.push_back(typedElement(source, type, depth));
  }
  return {{"array", std::move(elements)},
          {"type", type},
          {"lbound", kBounds.at(source.pick(kBounds.size()))}};
}

}  // namespace

json automationValue(ByteSource& source, int depth) {
  switch (source.pick(depth > 0 ? 14 : 12)) {
    case 0: return nullptr;
    case 1: return {{"I2", integerValue(source)}};
    case 2: return {{"I4", integerValue(source)}};
    case 3: return {{"UI1", integerValue(source)}};
    case 4: return {{"R4", realValue(source)}};
    case 5: return {{"R8", realValue(source)}};
    case 6: return source.pick(2) == 1;
    case 7: return textValue(source);
    case 8: return "$app";
    case 9: return integerValue(source);
    case 10: return realValue(source);
    case 11: return std::to_string(integerValue(source));
    case 12: {
      json list = json::array();
      const std::size_t count = source.pick(6);
      for (std::size_t i = 0; i < count; ++i) {
        list.push_back(automationValue(source, depth - 1));
      }
      return list;
    }
    default: return arrayValue(source, depth);
  }
}

}  // namespace kvm::fuzz
