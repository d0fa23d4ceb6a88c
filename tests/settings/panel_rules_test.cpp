#include "settings/panel_rules.h"

#include <gtest/gtest.h>

#include "settings/menu_enabling.h"
#include "settings/row_labels.h"

namespace kvm {
namespace {

TEST(panel_rules_test, thickness_keeps_at_most_three_decimals_in_range) {
  EXPECT_EQ(keptThickness(u"0.50"), u"0.5");
  EXPECT_EQ(keptThickness(u" 0.125 "), u"0.125");
  EXPECT_EQ(keptThickness(u"10"), u"10");
  EXPECT_EQ(keptThickness(u"0.1"), u"0.1");
  EXPECT_FALSE(keptThickness(u"0.1234"));
  EXPECT_FALSE(keptThickness(u"0.09"));
  EXPECT_FALSE(keptThickness(u"10.001"));
  EXPECT_FALSE(keptThickness(u""));
  EXPECT_FALSE(keptThickness(u"0.5mm"));
}

TEST(panel_rules_test, factor_keeps_two_decimals_in_range) {
  EXPECT_EQ(keptFactor(u"1.25"), u"1.25");
  EXPECT_EQ(keptFactor(u"0.5"), u"0.50");
  EXPECT_EQ(keptFactor(u"2"), u"2.00");
  EXPECT_FALSE(keptFactor(u"1.255"));
  EXPECT_FALSE(keptFactor(u"2.01"));
  EXPECT_FALSE(keptFactor(u"0.49"));
  EXPECT_FALSE(keptFactor(u"abc"));
}

TEST(panel_rules_test, whole_numbers_must_equal_their_integer_part) {
  EXPECT_EQ(wholeNumberIn(u"300", 300, 10000), 300.0);
  EXPECT_EQ(wholeNumberIn(u" 10000 ", 300, 10000), 10000.0);
  EXPECT_FALSE(wholeNumberIn(u"299", 300, 10000));
  EXPECT_FALSE(wholeNumberIn(u"300.5", 300, 10000));
  EXPECT_FALSE(wholeNumberIn(u"", 0, 300));
  EXPECT_EQ(wholeNumberIn(u"0", 0, 300), 0.0);
}

TEST(panel_rules_test, colour_is_at_most_six_gbk_bytes) {
  EXPECT_EQ(keptColour(u"天蓝色"), u"天蓝色");
  EXPECT_EQ(keptColour(u" 红色 "), u"红色");
  EXPECT_EQ(keptColour(u"abcdef"), u"abcdef");
  EXPECT_FALSE(keptColour(u"天蓝颜色"));
  EXPECT_FALSE(keptColour(u"abcdefg"));
  EXPECT_FALSE(keptColour(u"   "));
}

TEST(panel_rules_test, project_name_is_not_empty_after_trimming) {
  EXPECT_EQ(keptProjectName(u" 车间 "), u"车间");
  EXPECT_FALSE(keptProjectName(u"   "));
}

TEST(menu_enabling_test, moving_items_follow_the_selected_row) {
  const auto none = menuEnabling(0, -1, false);
  EXPECT_FALSE(none.top || none.up || none.down || none.bottom || none.remove || none.sort);
  const auto unselected = menuEnabling(3, -1, false);
  EXPECT_FALSE(unselected.top || unselected.down || unselected.remove);
  EXPECT_TRUE(unselected.sort);

  const auto only = menuEnabling(1, 0, false);
  EXPECT_FALSE(only.top || only.up || only.down || only.bottom);
  EXPECT_TRUE(only.remove);

  const auto first = menuEnabling(4, 0, false);
  EXPECT_TRUE(!first.top && !first.up && first.down && first.bottom && first.remove);
  const auto last = menuEnabling(4, 3, false);
  EXPECT_TRUE(last.top && last.up && !last.down && !last.bottom && last.remove);
  const auto middle = menuEnabling(4, 2, false);
  EXPECT_TRUE(middle.top && middle.up && middle.down && middle.bottom && middle.remove);
}

TEST(menu_enabling_test, locate_belongs_to_the_current_use_list_and_rename_to_the_others) {
  const auto dang = menuEnabling(2, 1, true);
  EXPECT_TRUE(dang.locateVisible && dang.locateEnabled);
  EXPECT_FALSE(dang.renameVisible);
  const auto dangUnselected = menuEnabling(2, -1, true);
  EXPECT_TRUE(dangUnselected.locateVisible);
  EXPECT_FALSE(dangUnselected.locateEnabled);
  const auto library = menuEnabling(2, 0, false);
  EXPECT_TRUE(library.renameVisible && library.renameEnabled);
  EXPECT_FALSE(library.locateVisible);
}

TEST(row_labels_test, libraries_are_lettered_and_the_others_numbered) {
  EXPECT_EQ(libraryRowLabel(0), u"A");
  EXPECT_EQ(libraryRowLabel(25), u"Z");
  EXPECT_EQ(numberRowLabel(0), u"01");
  EXPECT_EQ(numberRowLabel(12), u"13");
  EXPECT_EQ(numberRowLabel(99), u"100");
}

}  // namespace
}  // namespace kvm
