#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/codepage.h"

namespace kvm {
namespace {

int sign(int value) {
  return (value > 0) - (value < 0);
}

TEST(collation_test, common_hanzi_sort_in_pinyin_order) {
  EXPECT_LT(collateCompare(u"啊", u"吧"), 0);
  EXPECT_LT(collateCompare(u"吧", u"中"), 0);
  EXPECT_GT(collateCompare(u"中", u"啊"), 0);
  EXPECT_LT(collateCompare(u"板", u"彩"), 0);
  EXPECT_LT(collateCompare(u"彩钢板", u"钢板"), 0);
}

TEST(collation_test, ascii_letters_compare_without_case) {
  EXPECT_LT(collateCompare(u"abc", u"ABD"), 0);
  EXPECT_GT(collateCompare(u"ABD", u"abc"), 0);
  EXPECT_EQ(collateCompare(u"abc", u"ABC"), 0);
  EXPECT_EQ(collateCompare(u"包角A", u"包角a"), 0);
  // Letters fold to lower case, so the signs between the cases sort before letters.
  EXPECT_LT(collateCompare(u"_", u"a"), 0);
  EXPECT_LT(collateCompare(u"_", u"A"), 0);
  EXPECT_LT(collateCompare(u"9", u"a"), 0);
}

TEST(collation_test, shorter_prefix_first) {
  EXPECT_LT(collateCompare(u"", u"a"), 0);
  EXPECT_EQ(collateCompare(u"", u""), 0);
  EXPECT_LT(collateCompare(u"ab", u"abc"), 0);
  EXPECT_LT(collateCompare(u"天沟", u"天沟2"), 0);
}

TEST(collation_test, latin_sorts_before_chinese) {
  EXPECT_LT(collateCompare(u"z", u"啊"), 0);
  EXPECT_LT(collateCompare(u"Zzz", u"丂"), 0);
  EXPECT_LT(collateCompare(u"~", u"\u20AC"), 0);
}

TEST(collation_test, trail_bytes_are_not_folded_like_letters) {
  // U+4E04 is 81 41 and U+4E64 is 81 61: their trail bytes look like "A" and "a".
  EXPECT_LT(collateCompare(u"\u4E04", u"\u4E64"), 0);
  // U+4E51 is 81 5A: "Z" would fold above "a" but the byte is below it.
  EXPECT_LT(collateCompare(u"\u4E51", u"\u4E64"), 0);
}

TEST(collation_test, compare_is_antisymmetric) {
  const std::vector<std::u16string> texts{u"",   u"a", u"A",      u"ab",     u"中", u"啊",
                                          u"吧", u"_", u"\u4E04", u"\u4E64", u"9",  u"?"};
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      EXPECT_EQ(sign(collateCompare(a, b)), -sign(collateCompare(b, a)));
    }
  }
}

TEST(collation_test, a_stable_sort_gives_a_chinese_users_list_order) {
  std::vector<std::u16string> names{u"中间包角", u"Gutter", u"脊瓦",       u"檐口", u"gutter",
                                    u"包角",     u"女儿墙", u"彩钢板屋面", u"天沟"};
  std::stable_sort(names.begin(), names.end(),
                   [](const auto& a, const auto& b) { return collateCompare(a, b) < 0; });
  // 檐 is a second-level character of GB2312, ordered by radical after all first-level ones.
  const std::vector<std::u16string> expected{u"Gutter",     u"gutter",   u"包角",
                                             u"彩钢板屋面", u"脊瓦",     u"女儿墙",
                                             u"天沟",       u"中间包角", u"檐口"};
  EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace kvm
