#include "storage/database_codec.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <type_traits>

#include "base/codepage.h"
#include "base/text.h"
#include "storage/record_fields.h"

namespace kvm {

DatabaseFormatError::DatabaseFormatError(int32_t number, std::size_t offset, std::string location,
                                         std::string detail)
    : RuntimeError(number),
      offset_(offset),
      location_(std::move(location)),
      detail_(std::move(detail)) {}

namespace {

// Most strings of a database are short digits or names: plain ASCII needs no code page.
std::u16string decodeGbk(std::string_view raw) {
  const bool ascii = std::all_of(raw.begin(), raw.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii) {
    return fromGbk(raw);
  }
  std::u16string text(raw.size(), u'\0');
  std::transform(raw.begin(), raw.end(), text.begin(),
                 [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
  return text;
}

std::string quoted(std::string_view raw) {
  return " \"" + toUtf8(decodeGbk(raw)) + "\"";
}

// Reads the fields of the file one by one, knowing at every moment where it is so that a
// failure can say which record and field it hit.
class RecordReader {
 public:
  RecordReader(std::string_view bytes, RawStrings* rawStrings)
      : bytes_(bytes), rawStrings_(rawStrings) {}

  [[nodiscard]] bool atEnd() const noexcept { return pos_ == bytes_.size(); }
  [[nodiscard]] std::size_t position() const noexcept { return pos_; }

  FlashingLibrary library(std::size_t index) {
    where_ = Where{};
    where_.library = index;
    return record<FlashingLibrary>();
  }

 private:
  static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

  struct Where {
    std::size_t library = kNone;
    std::string_view libraryName;
    std::size_t flashing = kNone;
    std::string_view flashingName;
    const char* markArray = nullptr;
    std::size_t mark = kNone;
  };

  template <StoredRecord Record>
  Record record() {
    Record result;
    forEachField<Record>([this, &result](const auto& field) {
      using Member = std::remove_cvref_t<decltype(result.*field.member)>;
      field_ = field.name;
      if constexpr (std::is_same_v<Member, std::u16string>) {
        result.*field.member = string(nameOf(field.member));
      } else {
        result.*field.member = value<Member>();
      }
    });
    return result;
  }

  // Where a failure's location takes the name of the library or flashing being read from.
  std::string_view* nameOf(std::u16string FlashingLibrary::*member) {
    return member == &FlashingLibrary::Name ? &where_.libraryName : nullptr;
  }
  std::string_view* nameOf(std::u16string Flashing::*member) {
    return member == &Flashing::Name ? &where_.flashingName : nullptr;
  }
  template <class Record>
  std::string_view* nameOf(std::u16string Record::* /*member*/) {
    return nullptr;
  }

  template <class T>
  T value() {
    if constexpr (IsDynamicArray<T>::value) {
      return array<typename IsDynamicArray<T>::Element>();
    } else if constexpr (std::is_same_v<T, uint8_t>) {
      return u8();
    } else if constexpr (std::is_same_v<T, int16_t>) {
      return i16();
    } else if constexpr (std::is_same_v<T, float>) {
      return f32();
    } else {
      static_assert(std::is_same_v<T, double>, "a field of a type the file does not store");
      return f64();
    }
  }

  // A failure inside an element says which flashing, or which mark of which list.
  template <class T>
  T element(std::size_t index, const char* arrayField) {
    if constexpr (std::is_same_v<T, Flashing>) {
      where_.flashing = index;
      where_.flashingName = {};
      where_.markArray = nullptr;
      return record<Flashing>();
    } else if constexpr (StoredRecord<T>) {
      where_.markArray = arrayField;
      where_.mark = index;
      return record<T>();
    } else {
      return value<T>();
    }
  }

  template <class T>
  void leaveArray() {
    if constexpr (std::is_same_v<T, Flashing>) {
      where_.flashing = kNone;
    } else if constexpr (StoredRecord<T>) {
      where_.markArray = nullptr;
    }
  }

  // A dynamic array: dimension count, then for one dimension the element count and the
  // lower bound, then the elements.
  template <class T>
  DynamicArray<T> array() {
    constexpr std::size_t minElementSize = minStoredSize<T>();
    const char* const arrayField = field_;
    const std::size_t start = pos_;
    const int16_t dimensions = i16();
    if (dimensions == 0) {
      return {};
    }
    if (dimensions != 1) {
      fail(err::kTypeMismatch, start,
           "an array of " + std::to_string(dimensions) + " dimensions (only 0 or 1 are stored)");
    }
    const std::size_t countAt = pos_;
    const uint32_t count = u32();
    const std::size_t lowerBoundAt = pos_;
    const int32_t lowerBound = i32();
    if (lowerBound != 0) {
      fail(err::kTypeMismatch, lowerBoundAt,
           "an array with lower bound " + std::to_string(lowerBound) + " (only 0 is stored)");
    }
    const std::size_t remaining = bytes_.size() - pos_;
    if (count > remaining / minElementSize) {
      fail(err::kInputPastEnd, countAt,
           std::to_string(count) + " elements need at least " +
               std::to_string(static_cast<unsigned long long>(count) * minElementSize) +
               " bytes, " + std::to_string(remaining) + " remain");
    }
    std::vector<T> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
      items.push_back(element<T>(i, arrayField));
    }
    leaveArray<T>();
    return DynamicArray<T>(std::move(items));
  }

  std::u16string string(std::string_view* rawOut = nullptr) {
    const std::size_t start = pos_;
    const uint16_t length = u16();
    need(length, start, "a text of ");
    const std::string_view raw = bytes_.substr(pos_, length);
    pos_ += length;
    if (rawOut != nullptr) {
      *rawOut = raw;
    }
    if (rawStrings_ != nullptr) {
      rawStrings_->emplace_back(raw);
    }
    return decodeGbk(raw);
  }

  uint8_t u8() {
    need(1, pos_, "");
    return byteAt(pos_++);
  }
  uint16_t u16() { return static_cast<uint16_t>(little<2>()); }
  int16_t i16() { return static_cast<int16_t>(little<2>()); }
  uint32_t u32() { return static_cast<uint32_t>(little<4>()); }
  int32_t i32() { return static_cast<int32_t>(static_cast<uint32_t>(little<4>())); }
  float f32() { return std::bit_cast<float>(static_cast<uint32_t>(little<4>())); }
  double f64() { return std::bit_cast<double>(little<8>()); }

  // A fixed size lets the compiler turn the byte loop into one load.
  template <std::size_t Size>
  uint64_t little() {
    need(Size, pos_, "");
    uint64_t value = 0;
    for (std::size_t i = 0; i < Size; ++i) {
      value |= uint64_t{byteAt(pos_ + i)} << (8 * i);
    }
    pos_ += Size;
    return value;
  }

  [[nodiscard]] uint8_t byteAt(std::size_t at) const { return static_cast<uint8_t>(bytes_[at]); }

  // What is read where; the failure is described out of the hot path.
  void need(std::size_t size, std::size_t at, const char* what) {
    if (size > bytes_.size() - pos_) {
      missing(size, at, what);
    }
  }

  [[noreturn]] void missing(std::size_t size, std::size_t at, const char* what) const {
    fail(err::kInputPastEnd, at,
         what + std::to_string(size) + (size == 1 ? " byte" : " bytes") + " needed, " +
             std::to_string(bytes_.size() - pos_) + " remain");
  }

  [[noreturn]] void fail(int32_t number, std::size_t at, std::string detail) const {
    throw DatabaseFormatError(number, at, location(), std::move(detail));
  }

  [[nodiscard]] std::string location() const {
    std::string text = "library " + std::to_string(where_.library + 1);
    if (!where_.libraryName.empty()) {
      text += quoted(where_.libraryName);
    }
    if (where_.flashing != kNone) {
      text += ", flashing " + std::to_string(where_.flashing + 1);
      if (!where_.flashingName.empty()) {
        text += quoted(where_.flashingName);
      }
    }
    text += ", ";
    if (where_.markArray != nullptr) {
      text += std::string(where_.markArray) + "[" + std::to_string(where_.mark) + "].";
    }
    return text + field_;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  RawStrings* rawStrings_;
  Where where_;
  const char* field_ = "";
};

// Appends the fields in file order.
class RecordWriter {
 public:
  RecordWriter(std::string& out, const RawStringOverrides* overrides)
      : out_(out), overrides_(overrides) {}

  void library(const FlashingLibrary& library) { record(library); }

 private:
  template <StoredRecord Record>
  void record(const Record& from) {
    forEachField<Record>([this, &from](const auto& field) { this->value(from.*field.member); });
  }

  template <class T>
  void value(const T& item) {
    if constexpr (IsDynamicArray<T>::value) {
      array(item);
    } else if constexpr (StoredRecord<T>) {
      record(item);
    } else if constexpr (std::is_same_v<T, std::u16string>) {
      string(item);
    } else if constexpr (std::is_same_v<T, uint8_t>) {
      u8(item);
    } else if constexpr (std::is_same_v<T, int16_t>) {
      i16(item);
    } else if constexpr (std::is_same_v<T, float>) {
      little(std::bit_cast<uint32_t>(item), 4);
    } else {
      static_assert(std::is_same_v<T, double>, "a field of a type the file does not store");
      little(std::bit_cast<uint64_t>(item), 8);
    }
  }

  template <class T>
  void array(const DynamicArray<T>& items) {
    if (!items.isAllocated()) {
      i16(0);
      return;
    }
    if (items.size() > std::numeric_limits<uint32_t>::max()) {
      raise(err::kOverflow);
    }
    i16(1);
    little(items.size(), 4);
    little(0, 4);
    for (const T& item : items) {
      value(item);
    }
  }

  void string(const std::u16string& text) {
    const std::size_t ordinal = ordinal_++;
    if (overrides_ != nullptr && ordinal < overrides_->size() && (*overrides_)[ordinal]) {
      rawString(*(*overrides_)[ordinal]);
    } else {
      rawString(toGbk(text));
    }
  }

  void rawString(std::string_view raw) {
    if (raw.size() > std::numeric_limits<uint16_t>::max()) {
      raise(err::kOverflow);
    }
    little(raw.size(), 2);
    out_.append(raw);
  }

  void u8(uint8_t value) { out_.push_back(static_cast<char>(value)); }
  void i16(int16_t value) { little(static_cast<uint16_t>(value), 2); }

  void little(uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      out_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
  }

  std::string& out_;
  const RawStringOverrides* overrides_;
  std::size_t ordinal_ = 0;
};

}  // namespace

LibraryRecords readLibraryRecords(std::string_view bytes, std::size_t maxRecords,
                                  RawStrings* rawStrings) {
  LibraryRecords records;
  RecordReader reader(bytes, rawStrings);
  while (records.libraries.size() < maxRecords && !reader.atEnd()) {
    records.libraries.push_back(reader.library(records.libraries.size()));
  }
  records.bytesRead = reader.position();
  return records;
}

LibraryTable readLibraryTable(std::string_view bytes) {
  std::vector<FlashingLibrary> libraries = readLibraryRecords(bytes, kMaxLibraries).libraries;
  if (libraries.empty()) {
    return {};
  }
  libraries.resize(kMaxLibraries);
  const auto lastNamed = std::find_if(libraries.rbegin(), libraries.rend(),
                                      [](const FlashingLibrary& l) { return !l.Name.empty(); });
  if (lastNamed != libraries.rend()) {
    libraries.erase(lastNamed.base(), libraries.end());
  }
  return LibraryTable(std::move(libraries));
}

std::string writeLibraryRecords(const std::vector<FlashingLibrary>& libraries,
                                const RawStringOverrides* overrides) {
  std::string out;
  RecordWriter writer(out, overrides);
  for (const FlashingLibrary& library : libraries) {
    writer.library(library);
  }
  return out;
}

std::string writeLibraryTable(const LibraryTable& table) {
  return writeLibraryRecords(table.elements());
}

}  // namespace kvm
