#include "bill/bill_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {

namespace {

using namespace bill_separator;

template <class Array>
const Array& required(const Array& array) {
  if (!array.isAllocated()) {
    raise(err::kSubscriptOutOfRange);
  }
  return array;
}

// Writes the fields straight into the record: a full bill holds some hundred thousand
// numbers, and a text made for each of them would cost more than the record itself.
class RecordWriter {
 public:
  explicit RecordWriter(std::u16string& out) : out_(out) {}

  void text(std::u16string_view text) { out_.append(text); }
  void separator(char16_t code) { out_.push_back(code); }

  void integer(long long value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    ascii(digits.data(), result.ptr);
  }

  // The general number form with up to `significant` digits. Plain digits are written here;
  // the exponent form and the values without digits take the platform's own routine.
  template <class SlowForm>
  void general(double value, int significant, SlowForm slowForm) {
    if (value == 0) {
      out_.push_back(u'0');
      return;
    }
    if (std::isfinite(value)) {
      std::array<char, 48> digits{};
      const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                        std::chars_format::general, significant);
      if (result.ec == std::errc() && std::find(digits.data(), result.ptr, 'e') == result.ptr) {
        ascii(digits.data(), result.ptr);
        return;
      }
    }
    out_.append(slowForm());
  }
  void doubleValue(double value) {
    general(value, kDoubleDigits, [value] { return generalText(value); });
  }
  void singleValue(float value) {
    general(static_cast<double>(value), kSingleDigits, [value] { return generalText(value); });
  }

  void point(int16_t x, int16_t y) {
    out_.push_back(u'(');
    integer(x);
    out_.push_back(u' ');
    integer(y);
    out_.push_back(u')');
  }

 private:
  static constexpr int kDoubleDigits = 15;
  static constexpr int kSingleDigits = 7;

  void ascii(const char* first, const char* last) {
    const std::size_t at = out_.size();
    out_.resize(at + static_cast<std::size_t>(last - first));
    std::copy(first, last, out_.begin() + static_cast<std::ptrdiff_t>(at));
  }

  std::u16string& out_;
};

template <class Array, class Write>
void writeJoined(RecordWriter& out, const Array& array, char16_t separator, Write write) {
  bool first = true;
  for (const auto& item : required(array)) {
    if (!first) {
      out.separator(separator);
    }
    first = false;
    write(item);
  }
}

}  // namespace

std::u16string billDate(const CalendarDate& date) {
  return decimal(date.year) + u"." + decimal(date.month) + u"." + decimal(date.day);
}

std::u16string billHeader(const std::u16string& projectName, double plateThickness,
                          const std::u16string& lengthClassStep, const std::u16string& textHeight,
                          const CalendarDate& date) {
  return projectName + kField + formatUpTo(plateThickness, 3) + kField + lengthClassStep + kField +
         textHeight + kField + billDate(date);
}

const Flashing* findBillFlashing(const LibraryTable& libraries, std::u16string_view library,
                                 std::u16string_view flashing) {
  for (const FlashingLibrary& candidate : libraries) {
    if (candidate.Name != library) {
      continue;
    }
    for (const Flashing& found : candidate.Flashings) {
      if (found.Name == flashing) {
        return &found;
      }
    }
    return nullptr;
  }
  return nullptr;
}

void appendBillEntry(std::u16string& record, const Flashing& flashing) {
  RecordWriter out(record);
  out.separator(kEntry);
  out.text(flashing.Name);
  out.separator(kField);
  out.integer(flashing.MaxCutLength);
  out.separator(kField);
  out.integer(flashing.Overlap);
  out.separator(kField);
  out.text(flashing.Color);
  out.separator(kField);
  out.integer(flashing.EndExtension);
  out.separator(kField);
  out.text(formatFixed(flashing.LengthFactor, 2));
  out.separator(kField);
  out.integer(flashing.DevelopedWidth);
  out.separator(kField);
  out.integer(flashing.ScaleCode);
  out.separator(kField);
  out.integer(flashing.StartX);
  out.separator(kItem);
  out.integer(flashing.StartY);

  out.separator(kSection);
  writeJoined(out, flashing.SegmentLengths, kItem, [&](int16_t length) { out.integer(length); });
  out.separator(kSection);
  writeJoined(out, flashing.SegmentAngles, kItem, [&](double angle) { out.doubleValue(angle); });
  out.separator(kSection);
  writeJoined(out, flashing.DimensionMarks, kRecord, [&](const DimensionMark& mark) {
    out.integer(mark.Kind);
    out.separator(kItem);
    out.text(mark.Label);
    out.separator(kItem);
    out.point(mark.P1X, mark.P1Y);
    out.separator(kItem);
    out.point(mark.P2X, mark.P2Y);
    for (const uint8_t value : {mark.Style, mark.VertexA, mark.VertexB, mark.VertexC}) {
      out.separator(kItem);
      out.integer(value);
    }
    out.separator(kItem);
    out.point(mark.ArcX, mark.ArcY);
  });
  out.separator(kSection);
  writeJoined(out, flashing.TextMarks, kRecord, [&](const TextMark& mark) {
    out.text(mark.Text);
    out.separator(kItem);
    out.point(mark.X, mark.Y);
    out.separator(kItem);
    out.singleValue(mark.Angle);
    out.separator(kItem);
    out.singleValue(mark.AuxValue);
  });
}

}  // namespace kvm
