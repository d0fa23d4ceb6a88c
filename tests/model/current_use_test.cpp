#include "model/current_use.h"

#include <gtest/gtest.h>

namespace kvm {
namespace {

TEST(current_use_test, entry_joins_library_and_flashing_with_a_colon) {
  EXPECT_EQ(currentUseEntry(u"彩钢墙面", u"转角包角"), u"彩钢墙面:转角包角");
}

TEST(current_use_test, split_takes_the_text_between_the_first_two_colons) {
  const CurrentUseParts parts = splitCurrentUseEntry(u"A:b:c");
  EXPECT_EQ(parts.library, u"A");
  EXPECT_EQ(parts.flashing, u"b");
  EXPECT_TRUE(parts.hasFlashingPart);

  const CurrentUseParts bare = splitCurrentUseEntry(u"nocolon");
  EXPECT_EQ(bare.library, u"nocolon");
  EXPECT_FALSE(bare.hasFlashingPart);

  const CurrentUseParts comma = splitCurrentUseEntry(u"a,b:c,d");
  EXPECT_EQ(comma.library, u"a,b");
  EXPECT_EQ(comma.flashing, u"c,d");
}

TEST(current_use_test, a_library_is_ticked_only_by_its_name_and_a_colon) {
  const std::vector<std::u16string> entries{u"彩钢板屋面:屋脊包角", u"AB:x"};
  EXPECT_TRUE(isLibraryTicked(entries, u"彩钢板屋面"));
  EXPECT_FALSE(isLibraryTicked(entries, u"彩钢"));  // a prefix of the name is not the name
  EXPECT_FALSE(isLibraryTicked(entries, u"A"));
  EXPECT_TRUE(isLibraryTicked(entries, u"AB"));
  EXPECT_FALSE(isLibraryTicked({}, u"AB"));
  // The comparison is literal: case and line breaks count.
  EXPECT_FALSE(isLibraryTicked(entries, u"ab"));
  EXPECT_TRUE(isLibraryTicked({u"芯板屋面\r\n:扣槽"}, u"芯板屋面\r\n"));
  EXPECT_FALSE(isLibraryTicked({u"芯板屋面\r\n:扣槽"}, u"芯板屋面"));
}

}  // namespace
}  // namespace kvm
