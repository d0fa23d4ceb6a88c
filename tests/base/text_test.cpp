#include "base/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvm {
namespace {

TEST(text_test, utf8_round_trips_chinese_and_astral_text) {
  const std::u16string text = u"彩钢板屋面 L=3500.4 \U0001F600 é";
  EXPECT_EQ(toUtf8(u"天"), "\xE5\xA4\xA9");
  EXPECT_EQ(toUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(fromUtf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
  EXPECT_EQ(fromUtf8(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(text_test, lone_surrogates_become_replacement_characters_in_utf8) {
  EXPECT_EQ(toUtf8(std::u16string{u'\xD83D'}), "\xEF\xBF\xBD");
  EXPECT_EQ(toUtf8(std::u16string{u'\xDE00', u'a'}),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(toUtf8(std::u16string{u'\xD83D', u'\xD83D', u'\xDE00'}),
            "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(text_test, invalid_utf8_becomes_one_replacement_character_per_ill_formed_part) {
  EXPECT_EQ(fromUtf8("\xFF"), u"\uFFFD");
  EXPECT_EQ(fromUtf8("\xE4\xB8"), u"\uFFFD");  // truncated: one part
  EXPECT_EQ(fromUtf8("\xE4"
                     "a"),
            u"\uFFFD"
            "a");
  EXPECT_EQ(fromUtf8("\x80\xBF"), u"\uFFFD\uFFFD");                      // stray continuation bytes
  EXPECT_EQ(fromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");                      // overlong NUL
  EXPECT_EQ(fromUtf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");            // overlong "/"
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
  EXPECT_EQ(fromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
  EXPECT_EQ(fromUtf8("\xF8\x88\x80\x80\x80"), std::u16string(5, u'\uFFFD'));
}

TEST(text_test, trimming_removes_spaces_only) {
  EXPECT_EQ(trimSpaces(u"  a b  "), u"a b");
  EXPECT_EQ(trimSpaces(u"\ta\t"), u"\ta\t");
  EXPECT_EQ(trimSpaces(u"\u3000a"), u"\u3000a");
  EXPECT_EQ(trimSpaces(u"   "), u"");
  EXPECT_EQ(trimLeftSpaces(u"  a  "), u"a  ");
  EXPECT_EQ(trimRightSpaces(u"  a  "), u"  a");
}

TEST(text_test, case_folding_is_ascii_only) {
  EXPECT_TRUE(equalsIgnoringAsciiCase(u"Lmax1", u"LMAX1"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"é", u"É"));
  EXPECT_FALSE(equalsIgnoringAsciiCase(u"ab", u"abc"));
  EXPECT_EQ(asciiUpper(u"mzbj0 é"), u"MZBJ0 é");
  EXPECT_EQ(asciiLower(u"WSJM É"), u"wsjm É");
}

TEST(text_test, decimal_text_of_integers) {
  EXPECT_EQ(decimal(0), u"0");
  EXPECT_EQ(decimal(-32768), u"-32768");
  EXPECT_EQ(decimal(2147483647), u"2147483647");
}

TEST(text_test, split_like_the_platform) {
  EXPECT_TRUE(split(u"", u",").empty());
  EXPECT_EQ(split(u"a,,b", u","), (std::vector<std::u16string>{u"a", u"", u"b"}));
  EXPECT_EQ(split(u",", u","), (std::vector<std::u16string>{u"", u""}));
  EXPECT_EQ(split(u"a\u0001\u0002b", u"\u0001\u0002"), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(split(u"ab", u""), (std::vector<std::u16string>{u"ab"}));
}

}  // namespace
}  // namespace kvm
