#include "bill/bill_record.h"

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

std::u16string pointText(int16_t x, int16_t y) {
  return u"(" + decimal(x) + u" " + decimal(y) + u")";
}

template <class Array, class Write>
void appendJoined(std::u16string& out, const Array& array, char16_t separator, Write write) {
  bool first = true;
  for (const auto& item : required(array)) {
    if (!first) {
      out += separator;
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
  record += kEntry;
  record += flashing.Name + kField;
  record += decimal(flashing.MaxCutLength) + kField + decimal(flashing.Overlap) + kField;
  record += flashing.Color + kField + decimal(flashing.EndExtension) + kField;
  record += formatFixed(flashing.LengthFactor, 2) + kField;
  record += decimal(flashing.DevelopedWidth) + kField + decimal(flashing.ScaleCode) + kField;
  record += decimal(flashing.StartX) + kItem + decimal(flashing.StartY);

  record += kSection;
  appendJoined(record, flashing.SegmentLengths, kItem,
               [&](int16_t length) { record += decimal(length); });
  record += kSection;
  appendJoined(record, flashing.SegmentAngles, kItem,
               [&](double angle) { record += generalText(angle); });
  record += kSection;
  appendJoined(record, flashing.DimensionMarks, kRecord, [&](const DimensionMark& mark) {
    record += decimal(mark.Kind) + kItem + mark.Label + kItem;
    record += pointText(mark.P1X, mark.P1Y) + kItem + pointText(mark.P2X, mark.P2Y) + kItem;
    record += decimal(mark.Style) + kItem + decimal(mark.VertexA) + kItem + decimal(mark.VertexB) +
              kItem + decimal(mark.VertexC) + kItem;
    record += pointText(mark.ArcX, mark.ArcY);
  });
  record += kSection;
  appendJoined(record, flashing.TextMarks, kRecord, [&](const TextMark& mark) {
    record += mark.Text + kItem + pointText(mark.X, mark.Y) + kItem;
    record += generalText(mark.Angle) + kItem + generalText(mark.AuxValue);
  });
}

}  // namespace kvm
