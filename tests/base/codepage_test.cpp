#include "base/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace kvm {
namespace {

TEST(codepage_test, chinese_names_take_two_bytes_a_character) {
  EXPECT_EQ(toGbk(u"彩钢板屋面"), "\xB2\xCA\xB8\xD6\xB0\xE5\xCE\xDD\xC3\xE6");
  EXPECT_EQ(gbkByteLength(u"彩钢板屋面"), 10U);
  EXPECT_EQ(toGbk(u"天蓝色"), "\xCC\xEC\xC0\xB6\xC9\xAB");
  EXPECT_EQ(gbkByteLength(u"天蓝色"), 6U);
  EXPECT_EQ(toGbk(u"ab中"), "ab\xD6\xD0");
  EXPECT_EQ(gbkByteLength(u"ab中"), 4U);
  EXPECT_EQ(gbkByteLength(u""), 0U);
}

TEST(codepage_test, gbk_bytes_read_back_to_the_same_text) {
  EXPECT_EQ(fromGbk("\xB2\xCA\xB8\xD6\xB0\xE5\xCE\xDD\xC3\xE6"), u"彩钢板屋面");
  EXPECT_EQ(fromGbk("\xC5\xAE\xB6\xF9\xC7\xBD:\xCC\xEC\xB9\xB5"), u"女儿墙:天沟");
  const std::u16string mixed = u"包角 L=3500.4 脊瓦·—“”";
  EXPECT_EQ(fromGbk(toGbk(mixed)), mixed);
}

TEST(codepage_test, ascii_and_control_separators_pass_through) {
  const std::string bytes("\x00\x01\x02\x03\x04\x05 Az~\x7F", 11);
  const std::u16string text(u"\u0000\u0001\u0002\u0003\u0004\u0005 Az~\u007F", 11);
  EXPECT_EQ(fromGbk(bytes), text);
  EXPECT_EQ(toGbk(text), bytes);
}

TEST(codepage_test, code_page_936_extras_of_windows) {
  EXPECT_EQ(fromGbk("\x80"), u"\u20AC");  // the euro sign stands alone at 0x80
  EXPECT_EQ(toGbk(u"\u20AC"), "\x80");
  EXPECT_EQ(toGbk(u"\u00B7\u2014"), "\xA1\xA4\xA1\xAA");
  EXPECT_EQ(fromGbk("\x81\x40"), u"\u4E02");  // GBK beyond GB2312
}

TEST(codepage_test, characters_without_a_gbk_form_become_question_marks) {
  EXPECT_EQ(toGbk(u"\u0E01"), "?");
  EXPECT_EQ(toGbk(u"a\uAC00b"), "a?b");
  EXPECT_EQ(toGbk(u"\uFFFD"), "?");
  // Outside the basic plane: one character, one "?".
  EXPECT_EQ(toGbk(u"x\U0001F600y"), "x?y");
  EXPECT_EQ(gbkByteLength(u"x\U0001F600y"), 3U);
  // Broken surrogates are one "?" each.
  EXPECT_EQ(toGbk(std::u16string{u'\xD83D', u'a'}), "?a");
  EXPECT_EQ(toGbk(std::u16string{u'\xDE00', u'\xD83D'}), "??");
}

TEST(codepage_test, invalid_bytes_become_replacement_characters_one_at_a_time) {
  EXPECT_EQ(fromGbk("\xD6"), u"\uFFFD");  // lead byte at the end
  EXPECT_EQ(fromGbk("a\xD6\x30"), u"a\uFFFD0");
  EXPECT_EQ(fromGbk("\xFF"), u"\uFFFD");
  EXPECT_EQ(fromGbk("\x81\x7F"), u"\uFFFD\u007F");
  EXPECT_EQ(fromGbk("\x81\xFF\xD6\xD0"), u"\uFFFD\uFFFD中");
  EXPECT_EQ(fromGbk("\xD6\xD6\xD0"), u"\u79CD\uFFFD");  // pairs are taken greedily
}

TEST(codepage_test, gb2312_hanzi_are_all_mapped) {
  for (unsigned lead = 0xB0; lead <= 0xF7; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      if (lead == 0xD7 && trail >= 0xFA) {
        continue;  // the gap at the end of the first level
      }
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = fromGbk(code);
      ASSERT_EQ(text.size(), 1U);
      EXPECT_GE(text[0], u'\u4E00') << std::hex << lead << trail;
      EXPECT_LE(text[0], u'\u9FFF') << std::hex << lead << trail;
    }
  }
}

TEST(codepage_test, every_mapped_unit_survives_a_round_trip) {
  size_t mapped = 0;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      continue;
    }
    const std::u16string text(1, static_cast<char16_t>(unit));
    const std::string bytes = toGbk(text);
    ASSERT_EQ(bytes.size(), gbkByteLength(text));
    if (bytes == "?" && unit != u'?') {
      continue;
    }
    ++mapped;
    ASSERT_EQ(fromGbk(bytes), text) << std::hex << unit;
  }
  EXPECT_GT(mapped, 21000U);
}

TEST(codepage_test, every_decoded_pair_encodes_to_itself) {
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string text = fromGbk(code);
      if (text.size() == 1) {
        ASSERT_EQ(toGbk(text), code) << std::hex << lead << trail;
      }
    }
  }
}

}  // namespace
}  // namespace kvm
