#include "platform/workshop/job/bill_record_reader.h"

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::workshop {

namespace {

constexpr char16_t kField = u'\x01';
constexpr char16_t kEntry = u'\x02';
constexpr char16_t kSection = u'\x03';
constexpr char16_t kItem = u'\x04';
constexpr char16_t kRecord = u'\x05';
constexpr std::u16string_view kMarker = u"list";

// Splits keeping empty parts: an empty text is one empty part.
std::vector<std::u16string_view> parts(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> result;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(separator, from);
    if (at == std::u16string_view::npos) {
      result.push_back(text.substr(from));
      return result;
    }
    result.push_back(text.substr(from, at - from));
    from = at + 1;
  }
}

// The records of a section: none when the section is empty.
std::vector<std::u16string_view> records(std::u16string_view section, char16_t separator) {
  return section.empty() ? std::vector<std::u16string_view>{} : parts(section, separator);
}

class EntryReader {
 public:
  explicit EntryReader(std::string where) : where_(std::move(where)) {}

  [[noreturn]] void fail(const std::string& problem) const {
    throw BillRecordError("bill record, " + where_ + ": " + problem);
  }

  double number(std::u16string_view text, const char* field) const {
    const std::optional<double> value = parseNumber(text);
    if (!value || !std::isfinite(*value)) {
      fail(std::string(field) + " \"" + toUtf8(text) + "\" is not a number");
    }
    return *value;
  }

  int whole(std::u16string_view text, const char* field) const {
    const double value = number(text, field);
    if (value != std::floor(value) || std::abs(value) > std::numeric_limits<int>::max()) {
      fail(std::string(field) + " \"" + toUtf8(text) + "\" is not a whole number");
    }
    return static_cast<int>(value);
  }

  // "(x y)"
  std::pair<int, int> point(std::u16string_view text, const char* field) const {
    if (text.size() < 2 || text.front() != u'(' || text.back() != u')') {
      fail(std::string(field) + " \"" + toUtf8(text) + "\" is not a point (x y)");
    }
    const auto xy = parts(text.substr(1, text.size() - 2), u' ');
    if (xy.size() != 2) {
      fail(std::string(field) + " \"" + toUtf8(text) + "\" is not a point (x y)");
    }
    return {whole(xy[0], field), whole(xy[1], field)};
  }

  void count(const std::vector<std::u16string_view>& fields, std::size_t expected,
             const char* what) const {
    if (fields.size() != expected) {
      fail(std::string(what) + " has " + std::to_string(fields.size()) + " fields, not " +
           std::to_string(expected));
    }
  }

 private:
  std::string where_;
};

BillHeader readHeader(std::u16string_view text) {
  const EntryReader reader("header");
  const auto fields = parts(text, kField);
  reader.count(fields, 5, "the header");
  return {std::u16string(fields[0]), std::u16string(fields[1]), std::u16string(fields[2]),
          std::u16string(fields[3]), std::u16string(fields[4])};
}

BillDimension readDimension(const EntryReader& reader, std::u16string_view text) {
  const auto fields = parts(text, kItem);
  reader.count(fields, 9, "a dimension mark");
  BillDimension mark;
  mark.kind = reader.whole(fields[0], "the dimension kind");
  mark.label = fields[1];
  std::tie(mark.p1x, mark.p1y) = reader.point(fields[2], "the first dimension point");
  std::tie(mark.p2x, mark.p2y) = reader.point(fields[3], "the second dimension point");
  mark.style = reader.whole(fields[4], "the dimension style");
  mark.vertexA = reader.whole(fields[5], "a dimension vertex");
  mark.vertexB = reader.whole(fields[6], "a dimension vertex");
  mark.vertexC = reader.whole(fields[7], "a dimension vertex");
  std::tie(mark.arcX, mark.arcY) = reader.point(fields[8], "the dimension arc point");
  return mark;
}

BillTextMark readTextMark(const EntryReader& reader, std::u16string_view text) {
  const auto fields = parts(text, kItem);
  reader.count(fields, 4, "a text mark");
  BillTextMark mark;
  mark.text = fields[0];
  std::tie(mark.x, mark.y) = reader.point(fields[1], "the text mark's point");
  mark.angle = reader.number(fields[2], "the text mark's angle");
  mark.auxValue = reader.number(fields[3], "the text mark's second value");
  return mark;
}

BillEntry readEntry(std::u16string_view text, std::size_t index) {
  const auto sections = parts(text, kSection);
  const auto fields = parts(sections.front(), kField);
  const std::string name = fields.empty() ? std::string() : toUtf8(fields.front());
  const EntryReader reader("entry " + std::to_string(index + 1) + " (" + name + ")");
  reader.count(sections, 5, "the entry");
  reader.count(fields, 9, "the attribute part");

  BillEntry entry;
  entry.name = fields[0];
  entry.maxCutLength = reader.whole(fields[1], "the maximum cut length");
  entry.overlap = reader.whole(fields[2], "the overlap");
  entry.color = fields[3];
  entry.endExtension = reader.whole(fields[4], "the end extension");
  entry.lengthFactorText = fields[5];
  entry.lengthFactor = reader.number(fields[5], "the line-length factor");
  entry.developedWidth = reader.whole(fields[6], "the developed width");
  entry.scaleCode = reader.whole(fields[7], "the scale");
  const auto start = parts(fields[8], kItem);
  reader.count(start, 2, "the profile's start point");
  entry.startX = reader.whole(start[0], "the profile's start x");
  entry.startY = reader.whole(start[1], "the profile's start y");

  for (const auto length : records(sections[1], kItem)) {
    entry.segmentLengths.push_back(reader.whole(length, "a segment length"));
  }
  for (const auto angle : records(sections[2], kItem)) {
    entry.segmentAngles.push_back(reader.number(angle, "a segment angle"));
  }
  if (entry.segmentAngles.size() != entry.segmentLengths.size()) {
    reader.fail("has " + std::to_string(entry.segmentLengths.size()) + " segment lengths but " +
                std::to_string(entry.segmentAngles.size()) + " angles");
  }
  for (const auto mark : records(sections[3], kRecord)) {
    entry.dimensions.push_back(readDimension(reader, mark));
  }
  for (const auto mark : records(sections[4], kRecord)) {
    entry.textMarks.push_back(readTextMark(reader, mark));
  }
  return entry;
}

}  // namespace

BillRecord parseBillRecord(std::u16string_view record) {
  if (!record.starts_with(kMarker)) {
    throw BillRecordError("bill record: does not begin with \"list\"");
  }
  const auto blocks = parts(record.substr(kMarker.size()), kEntry);
  BillRecord bill;
  bill.header = readHeader(blocks.front());
  for (std::size_t i = 1; i < blocks.size(); ++i) {
    bill.entries.push_back(readEntry(blocks[i], i - 1));
  }
  return bill;
}

}  // namespace kvm::workshop
