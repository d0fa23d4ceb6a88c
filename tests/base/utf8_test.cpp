#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/text.h"

namespace kvm {
namespace {

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

std::string replaced(int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += kFffd;
  return out;
}

TEST(utf8_test, decodes_each_length_at_its_bounds) {
  struct Case {
    std::string_view bytes;
    char32_t code;
  };
  for (const Case& c : {Case{"\x7F", 0x7F}, Case{"\xC2\x80", 0x80}, Case{"\xDF\xBF", 0x7FF},
                        Case{"\xE0\xA0\x80", 0x800}, Case{"\xED\x9F\xBF", 0xD7FF},
                        Case{"\xEE\x80\x80", 0xE000}, Case{"\xEF\xBF\xBF", 0xFFFF},
                        Case{"\xF0\x90\x80\x80", 0x10000}, Case{"\xF4\x8F\xBF\xBF", 0x10FFFF}}) {
    const Utf8Character decoded = decodeUtf8(c.bytes, 0);
    EXPECT_TRUE(decoded.valid) << c.bytes;
    EXPECT_EQ(decoded.code, c.code);
    EXPECT_EQ(decoded.length, c.bytes.size());
    std::string encoded;
    appendUtf8(encoded, c.code);
    EXPECT_EQ(encoded, c.bytes);
  }
  EXPECT_EQ(decodeUtf8(std::string_view("\0", 1), 0).code, 0U);
  EXPECT_EQ(decodeUtf8("ab", 2).length, 0U);
}

// Overlong forms, surrogates, values past U+10FFFF and sequences cut short: each ill-formed
// subpart is as long as the bytes that could still have begun a character, so the repair puts
// one U+FFFD for a cut sequence and one per byte where no character could begin.
TEST(utf8_test, ill_formed_sequences_are_replaced_by_maximal_subparts) {
  struct Case {
    std::string_view bytes;
    std::size_t firstLength;
    int replacements;
  };
  for (const Case& c : {
           Case{"\xC0\xAF", 1, 2},          // overlong '/'
           Case{"\xC1\xBF", 1, 2},          // overlong, two bytes
           Case{"\xE0\x80\xAF", 1, 3},      // overlong, three bytes
           Case{"\xF0\x80\x80\xAF", 1, 4},  // overlong, four bytes
           Case{"\xED\xA0\x80", 1, 3},      // high surrogate D800
           Case{"\xED\xBF\xBF", 1, 3},      // low surrogate DFFF
           Case{"\xF4\x90\x80\x80", 1, 4},  // U+110000
           Case{"\xF5\x80\x80\x80", 1, 4},  // no lead byte past F4
           Case{"\xFF", 1, 1},              //
           Case{"\x80", 1, 1},              // a continuation alone
           Case{"\xE5\x8C", 2, 1},          // cut short at the end
           Case{"\xF0\x9F\x98", 3, 1},      // four-byte form cut short
           Case{"\xE5\x8C"
                "a",
                2, 1},                              // cut short by ASCII
           Case{"\xF1\x80\x80\xE1\x80\xC0", 3, 3},  // the standard's example, less its ASCII
       }) {
    const Utf8Character first = decodeUtf8(c.bytes, 0);
    EXPECT_FALSE(first.valid) << testing::PrintToString(c.bytes);
    EXPECT_EQ(first.code, kReplacementCharacter);
    EXPECT_EQ(first.length, c.firstLength) << testing::PrintToString(c.bytes);
    EXPECT_FALSE(isValidUtf8(c.bytes));
    const std::string repaired = repairedUtf8(c.bytes);
    const std::string tail = c.bytes.back() == 'a' ? "a" : "";
    EXPECT_EQ(repaired, replaced(c.replacements) + tail) << testing::PrintToString(c.bytes);
    EXPECT_TRUE(isValidUtf8(repaired));
  }
  // The standard's own example: 61 F1 80 80 E1 80 C2 62 80 63 80 BF 64.
  EXPECT_EQ(repairedUtf8("a\xF1\x80\x80\xE1\x80\xC2"
                         "b\x80"
                         "c\x80\xBF"
                         "d"),
            "a" + replaced(3) + "b" + replaced(1) + "c" + replaced(2) + "d");
}

TEST(utf8_test, well_formed_text_is_left_as_it_is) {
  const std::string text = "屋脊包角 500×3000 \xF0\x9F\x98\x80";
  EXPECT_TRUE(isValidUtf8(text));
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_EQ(validUtf8Prefix(text), text.size());
  EXPECT_EQ(validUtf8Prefix("ab\xE5\x8C"), 2U);
  EXPECT_EQ(repairedUtf8(text), text);
}

TEST(utf8_test, surrogates_and_values_past_the_range_encode_as_replacement) {
  for (const char32_t code : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
    std::string out;
    appendUtf8(out, code);
    EXPECT_EQ(out, kFffd);
  }
}

// The conversion to UTF-16 reads UTF-8 the same way, repairing as the shop pages do.
TEST(utf8_test, conversion_to_utf16_agrees_with_the_repair) {
  for (const std::string_view bytes :
       {std::string_view("\xE0\x80\xAF"), std::string_view("\xED\xA0\x80\xED\xB0\x80"),
        std::string_view("x\xF0\x9F\x98"), std::string_view("\xF4\x90\x80\x80 ok")}) {
    EXPECT_EQ(fromUtf8(bytes), fromUtf8(repairedUtf8(bytes)));
    EXPECT_EQ(toUtf8(fromUtf8(bytes)), repairedUtf8(bytes));
  }
  EXPECT_EQ(fromUtf8("x\xF0\x9F\x98"), u"x\uFFFD");
}

}  // namespace
}  // namespace kvm
