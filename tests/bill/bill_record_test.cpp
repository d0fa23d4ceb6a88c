#include "bill/bill_record.h"

#include <gtest/gtest.h>

#include <numbers>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"

namespace kvm {
namespace {

double radians(double degrees) {
  return degrees * std::numbers::pi / 180;
}

Flashing ridge() {
  Flashing flashing;
  flashing.Name = u"屋脊包角";
  flashing.MaxCutLength = 4000;
  flashing.Overlap = 100;
  flashing.Color = u"天蓝色";
  flashing.EndExtension = 100;
  flashing.LengthFactor = 1.0F;
  flashing.DevelopedWidth = 500;
  flashing.ScaleCode = 1;
  flashing.StartX = -2400;
  flashing.StartY = -317;
  flashing.SegmentLengths = {2200, 300};
  flashing.SegmentAngles = {radians(6), radians(45)};
  DimensionMark linear;
  linear.P1X = 265;
  linear.P1Y = -34;
  linear.P2X = -10;
  linear.P2Y = -241;
  linear.Style = 0xA1;
  linear.Text = u"30";  // not part of the record
  linear.VertexA = 2;
  linear.VertexB = 3;
  DimensionMark angular;
  angular.Kind = 1;
  angular.P1X = 3;
  angular.P2X = 450;
  angular.P2Y = 412;
  angular.Style = 0x22;
  angular.VertexA = 3;
  angular.VertexB = 2;
  angular.VertexC = 4;
  angular.ArcX = 403;
  angular.ArcY = 79;
  flashing.DimensionMarks = {linear, angular};
  flashing.TextMarks = {TextMark{u"*", -1190, 167, static_cast<float>(radians(6)), 0.8F}};
  return flashing;
}

TEST(bill_record_test, an_entry_writes_every_field_with_its_own_separator) {
  std::u16string record;
  appendBillEntry(record, ridge());
  const std::u16string expected =
      u"\x02屋脊包角\x01"
      u"4000\x01"
      u"100\x01天蓝色\x01"
      u"100\x01"
      u"1.00\x01"
      u"500\x01"
      u"1\x01"
      u"-2400\x04-317"
      u"\x03"
      u"2200\x04"
      u"300"
      u"\x03"
      u"0.10471975511966\x04"
      u"0.785398163397448"
      u"\x03"
      u"0\x04\x04(265 -34)\x04(-10 -241)\x04"
      u"161\x04"
      u"2\x04"
      u"3\x04"
      u"0\x04(0 0)"
      u"\x05"
      u"1\x04\x04(3 0)\x04(450 412)\x04"
      u"34\x04"
      u"3\x04"
      u"2\x04"
      u"4\x04(403 79)"
      u"\x03*\x04(-1190 167)\x04"
      u"0.1047198\x04"
      u"0.8";
  EXPECT_EQ(record, expected);
}

TEST(bill_record_test, empty_arrays_give_empty_sections_and_missing_ones_fail) {
  auto flashing = ridge();
  flashing.DimensionMarks = DynamicArray<DimensionMark>::ofSize(0);
  flashing.LengthFactor = 0.5F;
  flashing.ScaleCode = 5;
  std::u16string record;
  appendBillEntry(record, flashing);
  EXPECT_NE(record.find(u"\x01"
                        u"0.50\x01"
                        u"500\x01"
                        u"5\x01"),
            std::u16string::npos);
  EXPECT_NE(record.find(u"0.785398163397448\x03\x03*"), std::u16string::npos);

  flashing.TextMarks = DynamicArray<TextMark>::unallocated();
  std::u16string failed;
  EXPECT_THROW(appendBillEntry(failed, flashing), RuntimeError);
}

TEST(bill_record_test, header_formats_thickness_and_date_the_platform_way) {
  const CalendarDate date{2016, 3, 2};
  EXPECT_EQ(billHeader(u"示范工程车间一", 0.50, u"300", u"300", date),
            u"示范工程车间一\x01"
            u"0.5\x01"
            u"300\x01"
            u"300\x01"
            u"2016.3.2");
  EXPECT_EQ(billHeader(u"A", 0.125, u"0", u"600", {2026, 12, 17}),
            u"A\x01"
            u"0.125\x01"
            u"0\x01"
            u"600\x01"
            u"2026.12.17");
  EXPECT_EQ(billHeader(u"A", 10, u"1", u"1", date).substr(0, 5),
            u"A\x01"
            u"10\x01");
}

TEST(bill_record_test, reals_are_written_as_the_platform_writes_them) {
  auto flashing = ridge();
  flashing.SegmentLengths = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::vector<double> angles{
      -0.0, 1e-5,  0.0001,  -0.00012345678901234, 123456789012345.6,  999999999999999.9,
      1e15, 1e300, -2.5e-8, 3.14159265358979312,  6.1784655520599268, 1.0 / 3.0};
  const std::vector<float> singles{0.0F,       1e-5F, 0.1F,        16777216.0F,
                                   1234567.5F, -0.8F, 1.0F / 3.0F, 9999999.5F};
  flashing.SegmentAngles = DynamicArray<double>(angles);
  std::vector<TextMark> marks;
  for (std::size_t i = 0; i + 1 < singles.size(); i += 2) {
    marks.push_back(TextMark{u"t", 0, 0, singles[i], singles[i + 1]});
  }
  flashing.TextMarks = DynamicArray<TextMark>(std::move(marks));
  std::u16string record;
  appendBillEntry(record, flashing);

  std::u16string expectedAngles;
  for (const double angle : angles) {
    expectedAngles += (expectedAngles.empty() ? u"" : u"\x04") + generalText(angle);
  }
  EXPECT_NE(record.find(u"\x03" + expectedAngles + u"\x03"), std::u16string::npos);
  EXPECT_NE(record.find(u"1E-05\x04"), std::u16string::npos);
  for (std::size_t i = 0; i + 1 < singles.size(); i += 2) {
    const std::u16string pair =
        u"\x04(0 0)\x04" + generalText(singles[i]) + u"\x04" + generalText(singles[i + 1]);
    EXPECT_NE(record.find(pair), std::u16string::npos) << toUtf8(pair);
  }
}

}  // namespace
}  // namespace kvm
