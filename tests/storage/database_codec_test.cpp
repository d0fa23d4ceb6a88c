#include "storage/database_codec.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "base/codepage.h"
#include "storage/builtin_database.h"
#include "tests/base/expect_error.h"

namespace kvm {
namespace {

// Assembles file bytes field by field.
class Bytes {
 public:
  Bytes& u8(uint8_t v) {
    out_.push_back(static_cast<char>(v));
    return *this;
  }
  Bytes& i16(int16_t v) { return little(static_cast<uint16_t>(v), 2); }
  Bytes& u32(uint32_t v) { return little(v, 4); }
  Bytes& i32(int32_t v) { return little(static_cast<uint32_t>(v), 4); }
  Bytes& f32(float v) { return little(std::bit_cast<uint32_t>(v), 4); }
  Bytes& str(std::u16string_view text) { return raw(toGbk(text)); }
  Bytes& raw(const std::string& gbk) {
    little(gbk.size(), 2);
    out_ += gbk;
    return *this;
  }
  Bytes& array(uint32_t count) { return i16(1).u32(count).i32(0); }
  Bytes& none() { return i16(0); }
  // A library without flashings.
  Bytes& emptyLibrary(std::u16string_view name) { return str(name).none().u8(0); }
  [[nodiscard]] const std::string& get() const { return out_; }

 private:
  Bytes& little(uint64_t v, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return *this;
  }
  std::string out_;
};

// A flashing with profile arrays allocated empty and nothing else.
Bytes& bareFlashing(Bytes& b, std::u16string_view name) {
  return b.str(name)
      .i16(4000)
      .i16(100)
      .str(u"红色")
      .i16(100)
      .f32(1.0F)
      .i16(500)
      .u8(1)
      .i16(-1)
      .i16(2)
      .array(0)
      .array(0)
      .array(0)
      .array(0);
}

template <class Statement>
DatabaseFormatError formatError(Statement statement) {
  try {
    statement();
  } catch (const DatabaseFormatError& error) {
    return error;
  }
  ADD_FAILURE() << "no format error";
  return DatabaseFormatError(0, 0, "", "");
}

TEST(database_codec_test, writes_the_fields_in_file_order) {
  FlashingLibrary library;
  library.Name = u"AB";
  library.LastFlashing = 3;
  Flashing f;
  f.Name = u"包";
  f.MaxCutLength = 4000;
  f.Overlap = 100;
  f.Color = u"红色";
  f.EndExtension = 100;
  f.LengthFactor = 1.0F;
  f.DevelopedWidth = 500;
  f.ScaleCode = 1;
  f.StartX = -1;
  f.StartY = 2;
  f.SegmentLengths = DynamicArray<int16_t>::ofSize(0);
  f.SegmentAngles = DynamicArray<double>::ofSize(0);
  f.TextMarks = DynamicArray<TextMark>::ofSize(0);
  f.DimensionMarks = DynamicArray<DimensionMark>::ofSize(0);
  library.Flashings.push_back(f);

  Bytes expected;
  expected.str(u"AB").array(1);
  bareFlashing(expected, u"包").u8(3);
  EXPECT_EQ(writeLibraryTable(LibraryTable{library}), expected.get());
  EXPECT_EQ(readLibraryTable(expected.get())[0], library);
}

TEST(database_codec_test, marks_are_stored_field_by_field) {
  Flashing f;
  f.TextMarks.push_back(TextMark{u"*", -5, 6, 0.5F, 0.8F});
  DimensionMark d;
  d.Kind = 1;
  d.Label = u"L";
  d.P1X = 1;
  d.P1Y = 2;
  d.P2X = 3;
  d.P2Y = 4;
  d.Style = 0xA2;
  d.Text = u"141°";
  d.VertexA = 5;
  d.VertexB = 6;
  d.VertexC = 7;
  d.ArcX = 8;
  d.ArcY = 9;
  d.TextX = 10;
  d.TextY = 11;
  d.TextAtPoint = 1;
  d.TextAngle = 2.5F;
  f.DimensionMarks.push_back(d);
  FlashingLibrary library{u"L", {f}, 0};

  Bytes expected;
  expected.str(u"L").array(1);
  expected.str(u"").i16(0).i16(0).str(u"").i16(0).f32(0).i16(0).u8(0).i16(0).i16(0);
  expected.none().none();
  expected.array(1).str(u"*").i16(-5).i16(6).f32(0.5F).f32(0.8F);
  expected.array(1).u8(1).str(u"L").i16(1).i16(2).i16(3).i16(4).u8(0xA2).str(u"141°");
  expected.u8(5).u8(6).u8(7).i16(8).i16(9).i16(10).i16(11).u8(1).f32(2.5F);
  expected.u8(0);
  EXPECT_EQ(writeLibraryTable(LibraryTable{library}), expected.get());
  EXPECT_EQ(readLibraryTable(expected.get())[0], library);
}

TEST(database_codec_test, keeps_unallocated_apart_from_empty_and_every_bit_of_reals) {
  Flashing noProfile;
  noProfile.Name = u"无";
  Flashing odd;
  odd.Name = u"odd";
  odd.LengthFactor = -0.0F;
  odd.SegmentLengths = DynamicArray<int16_t>{-32768, 32767};
  odd.SegmentAngles = DynamicArray<double>{std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::denorm_min()};
  odd.TextMarks = DynamicArray<TextMark>::ofSize(0);
  LibraryTable table{FlashingLibrary{u"芯板屋面\r\n", {}, 0},
                     FlashingLibrary{u"B", DynamicArray<Flashing>::ofSize(0), 255},
                     FlashingLibrary{u"C", {noProfile, odd}, 1}};
  const std::string bytes = writeLibraryTable(table);
  const LibraryTable back = readLibraryTable(bytes);
  EXPECT_EQ(writeLibraryTable(back), bytes);
  ASSERT_EQ(back.size(), 3U);
  EXPECT_EQ(back[0].Name, u"芯板屋面\r\n");
  EXPECT_FALSE(back[0].Flashings.isAllocated());
  EXPECT_TRUE(back[1].Flashings.isAllocated());
  EXPECT_EQ(back[1].LastFlashing, 255);
  EXPECT_FALSE(back[2].Flashings[0].hasProfile());
  EXPECT_FALSE(back[2].Flashings[0].DimensionMarks.isAllocated());
  EXPECT_TRUE(back[2].Flashings[1].TextMarks.isAllocated());
  EXPECT_FALSE(back[2].Flashings[1].DimensionMarks.isAllocated());
  EXPECT_TRUE(std::isnan(back[2].Flashings[1].SegmentAngles[0]));
  EXPECT_TRUE(std::signbit(back[2].Flashings[1].LengthFactor));
}

TEST(database_codec_test, no_bytes_is_an_empty_table_and_an_empty_table_no_bytes) {
  EXPECT_FALSE(readLibraryTable("").isAllocated());
  EXPECT_EQ(writeLibraryTable(LibraryTable{}), "");
  EXPECT_EQ(writeLibraryTable(LibraryTable::ofSize(0)), "");
}

TEST(database_codec_test, fewer_than_26_libraries_are_trimmed_after_the_last_name) {
  Bytes b;
  b.emptyLibrary(u"A").emptyLibrary(u"").emptyLibrary(u"C").emptyLibrary(u"").emptyLibrary(u"");
  const LibraryTable table = readLibraryTable(b.get());
  ASSERT_EQ(table.size(), 3U);
  EXPECT_EQ(table[1].Name, u"");
  EXPECT_EQ(table[2].Name, u"C");
}

TEST(database_codec_test, exactly_26_libraries_are_kept) {
  Bytes b;
  for (int i = 0; i < 26; ++i) {
    b.emptyLibrary(std::u16string(1, static_cast<char16_t>(u'A' + i)));
  }
  const LibraryTable table = readLibraryTable(b.get());
  ASSERT_EQ(table.size(), 26U);
  EXPECT_EQ(table[25].Name, u"Z");
}

TEST(database_codec_test, only_the_first_26_of_more_libraries_are_read) {
  Bytes b;
  for (int i = 0; i < 26; ++i) {
    b.emptyLibrary(u"L");
  }
  b.emptyLibrary(u"27th").raw("broken tail");
  const LibraryTable table = readLibraryTable(b.get());
  EXPECT_EQ(table.size(), 26U);
  EXPECT_EQ(writeLibraryTable(table).size(), 26U * 6U);

  const LibraryRecords all = readLibraryRecords(b.get(), 27);
  EXPECT_EQ(all.libraries.size(), 27U);
  EXPECT_EQ(all.bytesRead, b.get().size() - 13U);
}

TEST(database_codec_test, nameless_libraries_give_26_empty_rows) {
  Bytes b;
  b.emptyLibrary(u"").emptyLibrary(u"");
  const LibraryTable table = readLibraryTable(b.get());
  ASSERT_EQ(table.size(), 26U);
  for (const FlashingLibrary& library : table) {
    EXPECT_EQ(library, FlashingLibrary{});
  }
}

TEST(database_codec_test, every_cut_inside_a_record_is_input_past_end) {
  const std::string_view full = builtinDatabaseBytes();
  // Where the records end: a cut exactly there is no damage, only fewer libraries.
  std::vector<std::size_t> ends;
  for (std::size_t n = 1; n <= 6; ++n) {
    ends.push_back(readLibraryRecords(full, n).bytesRead);
  }
  for (std::size_t cut = 1; cut < full.size(); ++cut) {
    const std::string_view part = full.substr(0, cut);
    const auto end = std::find(ends.begin(), ends.end(), cut);
    if (end != ends.end()) {
      EXPECT_EQ(readLibraryTable(part).size(), static_cast<std::size_t>(end - ends.begin()) + 1);
      continue;
    }
    const DatabaseFormatError error = formatError([&] { readLibraryTable(part); });
    ASSERT_EQ(error.number(), err::kInputPastEnd) << "cut at " << cut;
    ASSERT_LE(error.offset(), cut);
    ASSERT_EQ(error.description(), u"Input past end of file");
  }
}

TEST(database_codec_test, a_count_beyond_the_remaining_bytes_fails_before_allocating) {
  Bytes b;
  b.str(u"A").i16(1).u32(0xFFFFFFFFU).i32(0);
  const DatabaseFormatError error = formatError([&] { readLibraryTable(b.get()); });
  EXPECT_EQ(error.number(), err::kInputPastEnd);
  EXPECT_EQ(error.offset(), 5U);  // the element count
  EXPECT_EQ(error.location(), "library 1 \"A\", Flashings");

  Bytes angles;
  angles.str(u"A").array(1);
  bareFlashing(angles, u"屋脊").u8(0);
  std::string bytes = angles.get();
  // Let the SegmentAngles array claim 3 elements: 24 bytes where far fewer remain.
  const std::size_t countAt = bytes.size() - 1 - std::size_t{3} * 10 + 2;
  bytes[countAt] = 3;
  const DatabaseFormatError angleError = formatError([&] { readLibraryTable(bytes); });
  EXPECT_EQ(angleError.number(), err::kInputPastEnd);
  EXPECT_EQ(angleError.offset(), countAt);
  EXPECT_EQ(angleError.location(), "library 1 \"A\", flashing 1 \"屋脊\", SegmentAngles");
}

TEST(database_codec_test, other_dimension_counts_and_lower_bounds_are_type_mismatch) {
  for (const int16_t dimensions : {int16_t{2}, int16_t{-1}}) {
    Bytes b;
    b.str(u"A").i16(dimensions).u32(0).i32(0).u8(0);
    const DatabaseFormatError error = formatError([&] { readLibraryTable(b.get()); });
    EXPECT_EQ(error.number(), err::kTypeMismatch);
    EXPECT_EQ(error.offset(), 3U);
    EXPECT_EQ(error.description(), u"Type mismatch");
  }
  Bytes b;
  b.str(u"A").i16(1).u32(0).i32(1).u8(0);
  const DatabaseFormatError error = formatError([&] { readLibraryTable(b.get()); });
  EXPECT_EQ(error.number(), err::kTypeMismatch);
  EXPECT_EQ(error.offset(), 9U);
}

TEST(database_codec_test, a_failure_inside_a_mark_names_the_mark) {
  Bytes b;
  b.str(u"A").array(1);
  b.str(u"F").i16(4000).i16(100).str(u"红色").i16(100).f32(1.0F).i16(500).u8(1).i16(0).i16(0);
  b.none().none().none().array(2);
  b.u8(0).str(u"").i16(0).i16(0).i16(0).i16(0).u8(0x21).str(u"30").u8(0).u8(1).u8(0);
  b.i16(0).i16(0).i16(0).i16(0).u8(0).f32(0);
  b.u8(1).str(u"").i16(0).i16(0).i16(0).i16(0).u8(0x22).i16(400);  // text longer than the rest
  const std::size_t textAt = b.get().size() - 2;
  b.raw(std::string(18, 'x'));
  const DatabaseFormatError error = formatError([&] { readLibraryTable(b.get()); });
  EXPECT_EQ(error.number(), err::kInputPastEnd);
  EXPECT_EQ(error.location(), "library 1 \"A\", flashing 1 \"F\", DimensionMarks[1].Text");
  EXPECT_EQ(error.offset(), textAt);
  EXPECT_EQ(error.detail(), "a text of 400 bytes needed, 20 remain");
}

TEST(database_codec_test, raw_strings_come_in_file_order_and_can_be_written_back) {
  Bytes b;
  b.raw("\xFF\xFE").array(1);  // not GBK
  bareFlashing(b, u"F").u8(0);
  RawStrings raw;
  const LibraryRecords records = readLibraryRecords(b.get(), 26, &raw);
  ASSERT_EQ(raw.size(), 3U);
  EXPECT_EQ(raw[0], "\xFF\xFE");
  EXPECT_EQ(raw[1], "F");
  EXPECT_EQ(raw[2], toGbk(u"红色"));
  EXPECT_NE(writeLibraryRecords(records.libraries), b.get());
  const RawStringOverrides overrides{raw[0]};
  EXPECT_EQ(writeLibraryRecords(records.libraries, &overrides), b.get());
}

TEST(database_codec_test, a_text_beyond_16_bit_byte_counts_cannot_be_written) {
  FlashingLibrary library{std::u16string(40000, u'包'), {}, 0};
  EXPECT_RUNTIME_ERROR(writeLibraryTable(LibraryTable{library}), err::kOverflow);
}

}  // namespace
}  // namespace kvm
