#include "storage/database_codec.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "base/codepage.h"
#include "base/text.h"

namespace kvm {

DatabaseFormatError::DatabaseFormatError(int32_t number, std::size_t offset, std::string location,
                                         std::string detail)
    : RuntimeError(number),
      offset_(offset),
      location_(std::move(location)),
      detail_(std::move(detail)) {}

namespace {

// Smallest size on disk of each element kind: what a count is checked against before
// anything is allocated for it.
constexpr std::size_t kMinSegmentLength = 2;
constexpr std::size_t kMinSegmentAngle = 8;
constexpr std::size_t kMinTextMark = 2 + 2 + 2 + 4 + 4;
constexpr std::size_t kMinDimensionMark = 1 + 2 + 8 + 1 + 2 + 3 + 8 + 1 + 4;
constexpr std::size_t kMinFlashing = 2 + 2 + 2 + 2 + 2 + 4 + 2 + 1 + 2 + 2 + 4 * 2;

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
    FlashingLibrary result;
    field_ = "Name";
    result.Name = string(&where_.libraryName);
    field_ = "Flashings";
    result.Flashings = array<Flashing>(kMinFlashing, [this](std::size_t i) { return flashing(i); });
    where_.flashing = kNone;
    field_ = "LastFlashing";
    result.LastFlashing = u8();
    return result;
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

  Flashing flashing(std::size_t index) {
    where_.flashing = index;
    where_.flashingName = {};
    where_.markArray = nullptr;
    Flashing result;
    field_ = "Name";
    result.Name = string(&where_.flashingName);
    field_ = "MaxCutLength";
    result.MaxCutLength = i16();
    field_ = "Overlap";
    result.Overlap = i16();
    field_ = "Color";
    result.Color = string();
    field_ = "EndExtension";
    result.EndExtension = i16();
    field_ = "LengthFactor";
    result.LengthFactor = f32();
    field_ = "DevelopedWidth";
    result.DevelopedWidth = i16();
    field_ = "ScaleCode";
    result.ScaleCode = u8();
    field_ = "StartX";
    result.StartX = i16();
    field_ = "StartY";
    result.StartY = i16();
    field_ = "SegmentLengths";
    result.SegmentLengths =
        array<int16_t>(kMinSegmentLength, [this](std::size_t) { return i16(); });
    field_ = "SegmentAngles";
    result.SegmentAngles = array<double>(kMinSegmentAngle, [this](std::size_t) { return f64(); });
    field_ = "TextMarks";
    result.TextMarks = array<TextMark>(kMinTextMark, [this](std::size_t i) { return textMark(i); });
    where_.markArray = nullptr;
    field_ = "DimensionMarks";
    result.DimensionMarks =
        array<DimensionMark>(kMinDimensionMark, [this](std::size_t i) { return dimensionMark(i); });
    where_.markArray = nullptr;
    return result;
  }

  TextMark textMark(std::size_t index) {
    where_.markArray = "TextMarks";
    where_.mark = index;
    TextMark mark;
    field_ = "Text";
    mark.Text = string();
    field_ = "X";
    mark.X = i16();
    field_ = "Y";
    mark.Y = i16();
    field_ = "Angle";
    mark.Angle = f32();
    field_ = "AuxValue";
    mark.AuxValue = f32();
    return mark;
  }

  DimensionMark dimensionMark(std::size_t index) {
    where_.markArray = "DimensionMarks";
    where_.mark = index;
    DimensionMark mark;
    field_ = "Kind";
    mark.Kind = u8();
    field_ = "Label";
    mark.Label = string();
    field_ = "P1X";
    mark.P1X = i16();
    field_ = "P1Y";
    mark.P1Y = i16();
    field_ = "P2X";
    mark.P2X = i16();
    field_ = "P2Y";
    mark.P2Y = i16();
    field_ = "Style";
    mark.Style = u8();
    field_ = "Text";
    mark.Text = string();
    field_ = "VertexA";
    mark.VertexA = u8();
    field_ = "VertexB";
    mark.VertexB = u8();
    field_ = "VertexC";
    mark.VertexC = u8();
    field_ = "ArcX";
    mark.ArcX = i16();
    field_ = "ArcY";
    mark.ArcY = i16();
    field_ = "TextX";
    mark.TextX = i16();
    field_ = "TextY";
    mark.TextY = i16();
    field_ = "TextAtPoint";
    mark.TextAtPoint = u8();
    field_ = "TextAngle";
    mark.TextAngle = f32();
    return mark;
  }

  // A dynamic array: dimension count, then for one dimension the element count and the
  // lower bound, then the elements.
  template <class T, class ReadElement>
  DynamicArray<T> array(std::size_t minElementSize, ReadElement readElement) {
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
      items.push_back(readElement(i));
    }
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

  void library(const FlashingLibrary& library) {
    string(library.Name);
    array(library.Flashings, [this](const Flashing& f) { flashing(f); });
    u8(library.LastFlashing);
  }

 private:
  void flashing(const Flashing& f) {
    string(f.Name);
    i16(f.MaxCutLength);
    i16(f.Overlap);
    string(f.Color);
    i16(f.EndExtension);
    little(std::bit_cast<uint32_t>(f.LengthFactor), 4);
    i16(f.DevelopedWidth);
    u8(f.ScaleCode);
    i16(f.StartX);
    i16(f.StartY);
    array(f.SegmentLengths, [this](int16_t v) { i16(v); });
    array(f.SegmentAngles, [this](double v) { little(std::bit_cast<uint64_t>(v), 8); });
    array(f.TextMarks, [this](const TextMark& m) { textMark(m); });
    array(f.DimensionMarks, [this](const DimensionMark& m) { dimensionMark(m); });
  }

  void textMark(const TextMark& m) {
    string(m.Text);
    i16(m.X);
    i16(m.Y);
    little(std::bit_cast<uint32_t>(m.Angle), 4);
    little(std::bit_cast<uint32_t>(m.AuxValue), 4);
  }

  void dimensionMark(const DimensionMark& m) {
    u8(m.Kind);
    string(m.Label);
    i16(m.P1X);
    i16(m.P1Y);
    i16(m.P2X);
    i16(m.P2Y);
    u8(m.Style);
    string(m.Text);
    u8(m.VertexA);
    u8(m.VertexB);
    u8(m.VertexC);
    i16(m.ArcX);
    i16(m.ArcY);
    i16(m.TextX);
    i16(m.TextY);
    u8(m.TextAtPoint);
    little(std::bit_cast<uint32_t>(m.TextAngle), 4);
  }

  template <class T, class WriteElement>
  void array(const DynamicArray<T>& items, WriteElement writeElement) {
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
      writeElement(item);
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
