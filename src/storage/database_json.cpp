#include "storage/database_json.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

#include "base/codepage.h"
#include "base/text.h"
#include "storage/database_codec.h"
#include "storage/record_fields.h"

namespace kvm {
namespace {

using json = nlohmann::ordered_json;

std::string toHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

template <class Unsigned>
std::string bitsHex(Unsigned bits) {
  std::string hex(sizeof(Unsigned) * 2, '0');
  for (std::size_t i = hex.size(); i-- > 0; bits >>= 4) {
    hex[i] = "0123456789abcdef"[bits & 0xF];
  }
  return hex;
}

// ---- export ----

class Exporter {
 public:
  explicit Exporter(const RawStrings& raw) : raw_(raw) {}

  json library(const FlashingLibrary& l) { return record(l); }

 private:
  template <StoredRecord Record>
  json record(const Record& from) {
    json out = json::object();
    forEachField<Record>([this, &from, &out](const auto& field) {
      out[field.name] = this->value(from.*field.member);
    });
    return out;
  }

  template <class T>
  json value(const T& item) {
    if constexpr (IsDynamicArray<T>::value) {
      if (!item.isAllocated()) {
        return nullptr;
      }
      json out = json::array();
      for (const auto& element : item) {
        out.push_back(value(element));
      }
      return out;
    } else if constexpr (StoredRecord<T>) {
      return record(item);
    } else if constexpr (std::is_same_v<T, std::u16string>) {
      return string(item);
    } else if constexpr (std::is_same_v<T, float>) {
      return single(item);
    } else if constexpr (std::is_same_v<T, double>) {
      return real(item);
    } else {
      static_assert(std::is_integral_v<T>, "a field of a type the file does not store");
      return json(item);
    }
  }

  // Strings come in the order the reader met them.
  json string(const std::u16string& text) {
    const std::string& raw = raw_.at(next_++);
    if (toGbk(text) == raw) {
      return toUtf8(text);
    }
    return json{{"gbk", toHex(raw)}};
  }

  static json real(double value) {
    if (!std::isfinite(value)) {
      return json{{"double", bitsHex(std::bit_cast<uint64_t>(value))}};
    }
    return value;
  }

  // The shortest decimal that reads back as the same Single, when reading it as a Double
  // first does too; the Double's own value otherwise (always exact).
  static json single(float value) {
    if (!std::isfinite(value)) {
      return json{{"single", bitsHex(std::bit_cast<uint32_t>(value))}};
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    double shortest = 0;
    std::from_chars(buffer, result.ptr, shortest);
    if (std::bit_cast<uint32_t>(static_cast<float>(shortest)) == std::bit_cast<uint32_t>(value)) {
      return shortest;
    }
    return static_cast<double>(value);
  }

  const RawStrings& raw_;
  std::size_t next_ = 0;
};

// ---- import ----

std::string fromHex(const std::string& hex, const std::string& where) {
  if (hex.size() % 2 != 0) {
    throw DatabaseJsonError(where + ": hex digits must come in pairs");
  }
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    const auto result = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (result.ec != std::errc() || result.ptr != hex.data() + i + 2) {
      throw DatabaseJsonError(where + ": not a hex digit pair");
    }
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

template <class Unsigned>
Unsigned bitsFromHex(const json& value, const std::string& where) {
  const std::string bytes =
      value.is_string() ? fromHex(value.get<std::string>(), where) : std::string();
  if (bytes.size() != sizeof(Unsigned)) {
    throw DatabaseJsonError(where + ": expected " + std::to_string(sizeof(Unsigned) * 2) +
                            " hex digits");
  }
  Unsigned bits = 0;
  for (const char c : bytes) {
    bits = static_cast<Unsigned>((bits << 8) | static_cast<unsigned char>(c));
  }
  return bits;
}

class Importer {
 public:
  RawStringOverrides overrides;

  FlashingLibrary library(const json& value, const std::string& where) {
    return record<FlashingLibrary>(value, where);
  }

 private:
  template <StoredRecord Record>
  Record record(const json& value, const std::string& where) {
    const json& object = objectAt(value, where);
    Record result;
    forEachField<Record>([this, &object, &where, &result](const auto& entry) {
      using Member = std::remove_cvref_t<decltype(result.*entry.member)>;
      result.*entry.member =
          this->convert<Member>(field(object, entry.name, where), where + "." + entry.name);
    });
    return result;
  }

  template <class T>
  T convert(const json& value, const std::string& where) {
    if constexpr (IsDynamicArray<T>::value) {
      return array<typename IsDynamicArray<T>::Element>(value, where);
    } else if constexpr (StoredRecord<T>) {
      return record<T>(value, where);
    } else if constexpr (std::is_same_v<T, std::u16string>) {
      return string(value, where);
    } else if constexpr (std::is_same_v<T, float>) {
      return single(value, where);
    } else if constexpr (std::is_same_v<T, double>) {
      return real(value, where);
    } else {
      return wholeValue<T>(value, where);
    }
  }

  static const json& objectAt(const json& value, const std::string& where) {
    if (!value.is_object()) {
      throw DatabaseJsonError(where + ": expected an object");
    }
    return value;
  }

  static const json& field(const json& object, const char* name, const std::string& where) {
    const auto found = object.find(name);
    if (found == object.end()) {
      throw DatabaseJsonError(where + ": missing \"" + name + "\"");
    }
    return *found;
  }

  template <class T>
  DynamicArray<T> array(const json& value, const std::string& where) {
    if (value.is_null()) {
      return {};
    }
    if (!value.is_array()) {
      throw DatabaseJsonError(where + ": expected null or a list");
    }
    std::vector<T> items;
    items.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
      items.push_back(convert<T>(value[i], where + "[" + std::to_string(i) + "]"));
    }
    return DynamicArray<T>(std::move(items));
  }

  // Texts are written through their GBK form, or exactly as given bytes.
  std::u16string string(const json& value, const std::string& where) {
    if (value.is_string()) {
      overrides.emplace_back();
      return fromUtf8(value.get<std::string>());
    }
    if (value.is_object() && value.size() == 1 && value.contains("gbk")) {
      const json& hex = value["gbk"];
      if (!hex.is_string()) {
        throw DatabaseJsonError(where + ".gbk: expected a hex string");
      }
      std::string raw = fromHex(hex.get<std::string>(), where + ".gbk");
      std::u16string text = fromGbk(raw);
      overrides.emplace_back(std::move(raw));
      return text;
    }
    throw DatabaseJsonError(where + ": expected a string or {\"gbk\": HEX}");
  }

  template <class T>
  static T wholeValue(const json& value, const std::string& where) {
    const bool inRange = (value.is_number_integer() && value.is_number_unsigned())
                             ? value.get<uint64_t>() <= uint64_t{std::numeric_limits<T>::max()}
                             : value.is_number_integer() &&
                                   value.get<int64_t>() >= std::numeric_limits<T>::min() &&
                                   value.get<int64_t>() <= std::numeric_limits<T>::max();
    if (!inRange) {
      throw DatabaseJsonError(where + ": expected a whole number from " +
                              std::to_string(std::numeric_limits<T>::min()) + " to " +
                              std::to_string(std::numeric_limits<T>::max()));
    }
    return static_cast<T>(value.get<int64_t>());
  }

  static double real(const json& value, const std::string& where) {
    if (value.is_number()) {
      return value.get<double>();
    }
    if (value.is_object() && value.size() == 1 && value.contains("double")) {
      return std::bit_cast<double>(bitsFromHex<uint64_t>(value["double"], where + ".double"));
    }
    throw DatabaseJsonError(where + ": expected a number or {\"double\": HEX}");
  }

  static float single(const json& value, const std::string& where) {
    if (value.is_number()) {
      const double number = value.get<double>();
      if (std::isfinite(number) && std::abs(number) > double{std::numeric_limits<float>::max()}) {
        throw DatabaseJsonError(where + ": beyond the range of a Single");
      }
      return static_cast<float>(number);
    }
    if (value.is_object() && value.size() == 1 && value.contains("single")) {
      return std::bit_cast<float>(bitsFromHex<uint32_t>(value["single"], where + ".single"));
    }
    throw DatabaseJsonError(where + ": expected a number or {\"single\": HEX}");
  }
};

}  // namespace

json exportDatabaseJson(std::string_view bytes) {
  RawStrings raw;
  LibraryRecords records = readLibraryRecords(bytes, kMaxLibraries, &raw);
  std::string_view tail = bytes.substr(records.bytesRead);
  if (!tail.empty()) {
    // Records after the 26th that read cleanly to the end are shown as records; anything
    // else there is kept as bytes.
    RawStrings moreRaw;
    try {
      LibraryRecords more =
          readLibraryRecords(tail, std::numeric_limits<std::size_t>::max(), &moreRaw);
      for (FlashingLibrary& library : more.libraries) {
        records.libraries.push_back(std::move(library));
      }
      raw.insert(raw.end(), moreRaw.begin(), moreRaw.end());
      tail = {};
    } catch (const DatabaseFormatError&) {
      // Kept as the tail.
    }
  }
  Exporter exporter(raw);
  json libraries = json::array();
  for (const FlashingLibrary& library : records.libraries) {
    libraries.push_back(exporter.library(library));
  }
  json document = json::object();
  document["format"] = kDatabaseJsonFormat;
  document["libraries"] = std::move(libraries);
  if (!tail.empty()) {
    document["tail"] = toHex(tail);
  }
  return document;
}

std::string importDatabaseJson(const json& document) {
  if (!document.is_object() || document.value("format", "") != kDatabaseJsonFormat) {
    throw DatabaseJsonError(std::string("expected an object with \"format\": \"") +
                            kDatabaseJsonFormat + "\"");
  }
  const auto libraries = document.find("libraries");
  if (libraries == document.end() || !libraries->is_array()) {
    throw DatabaseJsonError("libraries: expected a list");
  }
  Importer importer;
  std::vector<FlashingLibrary> records;
  records.reserve(libraries->size());
  for (std::size_t i = 0; i < libraries->size(); ++i) {
    records.push_back(importer.library((*libraries)[i], "libraries[" + std::to_string(i) + "]"));
  }
  std::string bytes = writeLibraryRecords(records, &importer.overrides);
  if (const auto tail = document.find("tail"); tail != document.end()) {
    if (!tail->is_string()) {
      throw DatabaseJsonError("tail: expected a hex string");
    }
    bytes += fromHex(tail->get<std::string>(), "tail");
  }
  return bytes;
}

}  // namespace kvm
