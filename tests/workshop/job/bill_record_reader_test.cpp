#include <gtest/gtest.h>

#include <string>

#include "platform/workshop/job/bill_record_reader.h"

namespace kvm::workshop {
namespace {

// The separators, by their codes.
const std::u16string F(1, u'\x01');
const std::u16string E(1, u'\x02');
const std::u16string S(1, u'\x03');
const std::u16string I(1, u'\x04');
const std::u16string R(1, u'\x05');

std::u16string header() {
  return u"示范工程车间一" + F + u"0.5" + F + u"300" + F + u"300" + F + u"2016.3.2";
}

std::u16string ridgeEntry() {
  return E + u"屋脊包角" + F + u"4000" + F + u"100" + F + u"天蓝色" + F + u"100" + F + u"1.00" + F +
         u"500" + F + u"1" + F + u"-2400" + I + u"-317" + S + u"2200" + I + u"300" + S + u"0.1" +
         I + u"0.7" + S + u"0" + I + I + u"(265 -34)" + I + u"(-10 -241)" + I + u"161" + I + u"2" +
         I + u"3" + I + u"0" + I + u"(0 0)" + R + u"1" + I + u"" + I + u"(3 0)" + I + u"(450 412)" +
         I + u"34" + I + u"3" + I + u"2" + I + u"4" + I + u"(10 20)" + S + u"*" + I +
         u"(-1190 167)" + I + u"0.1047198" + I + u"0.8";
}

std::string complaint(const std::u16string& record) {
  try {
    parseBillRecord(record);
  } catch (const BillRecordError& error) {
    return error.what();
  }
  return "";
}

TEST(bill_record_reader_test, reads_the_header_and_every_field_of_an_entry) {
  const BillRecord bill = parseBillRecord(u"list" + header() + ridgeEntry());
  EXPECT_EQ(bill.header.projectName, u"示范工程车间一");
  EXPECT_EQ(bill.header.plateThickness, u"0.5");
  EXPECT_EQ(bill.header.lengthClassStep, u"300");
  EXPECT_EQ(bill.header.textHeight, u"300");
  EXPECT_EQ(bill.header.date, u"2016.3.2");
  ASSERT_EQ(bill.entries.size(), 1U);
  const BillEntry& entry = bill.entries[0];
  EXPECT_EQ(entry.name, u"屋脊包角");
  EXPECT_EQ(entry.maxCutLength, 4000);
  EXPECT_EQ(entry.overlap, 100);
  EXPECT_EQ(entry.color, u"天蓝色");
  EXPECT_EQ(entry.endExtension, 100);
  EXPECT_EQ(entry.lengthFactorText, u"1.00");
  EXPECT_EQ(entry.lengthFactor, 1.0);
  EXPECT_EQ(entry.developedWidth, 500);
  EXPECT_EQ(entry.scaleCode, 1);
  EXPECT_EQ(entry.startX, -2400);
  EXPECT_EQ(entry.startY, -317);
  EXPECT_EQ(entry.segmentLengths, (std::vector<int>{2200, 300}));
  EXPECT_EQ(entry.segmentAngles, (std::vector<double>{0.1, 0.7}));
  ASSERT_EQ(entry.dimensions.size(), 2U);
  EXPECT_EQ(entry.dimensions[0].kind, 0);
  EXPECT_EQ(entry.dimensions[0].p2y, -241);
  EXPECT_EQ(entry.dimensions[0].style, 161);
  EXPECT_EQ(entry.dimensions[1].kind, 1);
  EXPECT_EQ(entry.dimensions[1].vertexC, 4);
  EXPECT_EQ(entry.dimensions[1].arcY, 20);
  ASSERT_EQ(entry.textMarks.size(), 1U);
  EXPECT_EQ(entry.textMarks[0].text, u"*");
  EXPECT_EQ(entry.textMarks[0].y, 167);
  EXPECT_EQ(entry.textMarks[0].auxValue, 0.8);
}

TEST(bill_record_reader_test, empty_sections_and_several_entries) {
  const std::u16string bare = E + u"扣槽" + F + u"4000" + F + u"100" + F + u"红色" + F + u"0" + F +
                              u"0.50" + F + u"125" + F + u"2" + F + u"0" + I + u"0" + S + u"640" +
                              S + u"1.5707963267949" + S + S;
  const BillRecord bill = parseBillRecord(u"list" + header() + bare + ridgeEntry());
  ASSERT_EQ(bill.entries.size(), 2U);
  EXPECT_TRUE(bill.entries[0].dimensions.empty());
  EXPECT_TRUE(bill.entries[0].textMarks.empty());
  EXPECT_EQ(bill.entries[0].lengthFactor, 0.5);
  EXPECT_EQ(bill.entries[1].name, u"屋脊包角");
  EXPECT_TRUE(parseBillRecord(u"list" + header()).entries.empty());
}

TEST(bill_record_reader_test, a_broken_record_names_the_entry_and_the_field) {
  EXPECT_EQ(complaint(u"c"), "bill record: does not begin with \"list\"");
  EXPECT_EQ(complaint(u"list" + header().substr(0, 12)),
            "bill record, header: the header has 3 fields, not 5");
  std::u16string entry = ridgeEntry();
  entry.replace(entry.find(u"4000"), 4, u"4k");
  EXPECT_EQ(complaint(u"list" + header() + entry),
            "bill record, entry 1 (屋脊包角): the maximum cut length \"4k\" is not a number");
  entry = ridgeEntry();
  entry.replace(entry.find(u"0.7"), 3, u"");
  entry.replace(entry.find(I + S + u"0" + I), 1, u"");
  EXPECT_EQ(complaint(u"list" + header() + entry),
            "bill record, entry 1 (屋脊包角): has 2 segment lengths but 1 angles");
  entry = ridgeEntry();
  entry.replace(entry.find(u"(265 -34)"), 9, u"265 -34");
  EXPECT_EQ(complaint(u"list" + header() + entry),
            "bill record, entry 1 (屋脊包角): the first dimension point \"265 -34\" is not a "
            "point (x y)");
  EXPECT_EQ(complaint(u"list" + header() + E + u"x" + F + u"1"),
            "bill record, entry 1 (x): the entry has 1 fields, not 5");
}

}  // namespace
}  // namespace kvm::workshop
