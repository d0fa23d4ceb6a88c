#include "shop/page_writer.h"

#include <gtest/gtest.h>

namespace kvm::shop {
namespace {

// Every character, whatever its bytes, one unit wide at size 1.
class CharacterCount final : public TextMeasure {
 public:
  TextMetrics measure(const std::string& text, double size, bool /*bold*/) const override {
    double characters = 0;
    for (const char byte : text) {
      if ((static_cast<unsigned char>(byte) & 0xC0U) != 0x80U) ++characters;
    }
    return {characters * size, 0.8 * size, 0.2 * size};
  }
};

TEST(page_writer_test, fitted_keeps_the_longest_head_of_whole_characters) {
  Page page;
  const CharacterCount measure;
  const PageWriter writer(page, measure);
  EXPECT_EQ(writer.fitted("abcdef", 6, 1), "abcdef");
  EXPECT_EQ(writer.fitted("abcdef", 5, 1), "abcd…");
  EXPECT_EQ(writer.fitted("abcdef", 4.5, 1), "abc…");
  // Cut between characters, never inside one.
  EXPECT_EQ(writer.fitted("包角包角包角", 3, 1), "包角…");
  EXPECT_EQ(writer.fitted("包角", 1, 1), "…");
  const std::string hundred(100, '7');
  EXPECT_EQ(writer.fitted(hundred, 50, 1), std::string(49, '7') + "…");
}

TEST(page_writer_test, wrapped_breaks_after_commas_and_keeps_a_fitting_text_whole) {
  Page page;
  const CharacterCount measure;
  const PageWriter writer(page, measure);
  EXPECT_EQ(writer.wrapped("1, 2, 3", 7, 1), std::vector<std::string>{"1, 2, 3"});
  EXPECT_EQ(writer.wrapped("1, 2, 3, 4", 7, 1), (std::vector<std::string>{"1, 2, ", "3, 4"}));
  EXPECT_EQ(writer.wrapped("", 7, 1), std::vector<std::string>{""});
  EXPECT_EQ(writer.wrapped("abcdefgh", 3, 1), (std::vector<std::string>{"abc", "def", "gh"}));
}

TEST(page_writer_test, broken_utf8_is_replaced_and_sound_text_kept) {
  EXPECT_TRUE(wellFormedUtf8("包角 500×3000"));
  EXPECT_FALSE(wellFormedUtf8("a\xE5\x8C"));
  EXPECT_EQ(validUtf8("包角 500×3000"), "包角 500×3000");
  EXPECT_EQ(validUtf8("a\xE5\x8C"), "a\xEF\xBF\xBD");  // a character cut short is one part
  EXPECT_EQ(validUtf8("\xC0\xAF ok"), "\xEF\xBF\xBD\xEF\xBF\xBD ok");
}

}  // namespace
}  // namespace kvm::shop
