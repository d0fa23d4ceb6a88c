#include "storage/stored_settings.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "storage/memory_settings_store.h"
#include "tests/base/expect_error.h"

namespace kvm {
namespace {

const ProjectSettings kProject{u"示范工程车间一", u"0.5", u"300", u"300"};

TEST(stored_settings_test, dang_of_an_empty_current_use_list_has_four_fields) {
  const std::u16string value = formatDang(kProject, {});
  EXPECT_EQ(split(value, u"\x01").size(), 4U);
  const auto dang = parseDang(value);
  ASSERT_TRUE(dang.has_value());
  EXPECT_EQ(dang->project, kProject);
  EXPECT_TRUE(dang->currentUse.empty());
}

TEST(stored_settings_test, current_use_rows_keep_commas_and_unknown_names) {
  const std::vector<std::u16string> rows{u"彩钢墙面:转角包角", u"a,b:c,d", u"gone:missing"};
  const std::u16string value = formatDang(kProject, rows);
  EXPECT_EQ(value,
            u"示范工程车间一\x01"
            u"0.5\x01"
            u"300\x01"
            u"300\x01"
            u"彩钢墙面:转角包角\x01"
            u"a,b:c,d\x01"
            u"gone:missing");
  EXPECT_EQ(parseDang(value), (DangValue{kProject, rows}));
}

TEST(stored_settings_test, dang_with_fewer_than_four_fields_restores_nothing) {
  EXPECT_EQ(parseDang(u""), std::nullopt);
  EXPECT_EQ(parseDang(u"a\x01"
                      u"b\x01"
                      u"c"),
            std::nullopt);
  EXPECT_TRUE(parseDang(u"\x01\x01\x01").has_value());
}

TEST(stored_settings_test, dang_sel_holds_three_numbers) {
  EXPECT_EQ(formatDangSel({0, 30, 2}), u"0,30,2");
  EXPECT_EQ(parseDangSel(u"0,30,2"), (ListSelections{0, 30, 2}));
  EXPECT_EQ(parseDangSel(u"0,0,-1"), (ListSelections{0, 0, -1}));
  EXPECT_EQ(parseDangSel(u" 1 ,2, 3 "), (ListSelections{1, 2, 3}));
  EXPECT_EQ(parseDangSel(u"2.5,0,0"), (ListSelections{2, 0, 0}));
}

TEST(stored_settings_test, dang_sel_other_than_three_parts_is_ignored) {
  EXPECT_EQ(parseDangSel(u""), std::nullopt);
  EXPECT_EQ(parseDangSel(u"1,2"), std::nullopt);
  EXPECT_EQ(parseDangSel(u"1,2,3,4"), std::nullopt);
}

TEST(stored_settings_test, dang_sel_that_is_not_numeric_is_a_type_mismatch) {
  EXPECT_RUNTIME_ERROR(parseDangSel(u"x,0,0"), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(parseDangSel(u"0,,0"), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(parseDangSel(u"0,0,99999999999"), err::kOverflow);
}

TEST(stored_settings_test, values_go_through_the_store_under_their_keys) {
  MemorySettingsStore store;
  EXPECT_EQ(readDang(store), std::nullopt);
  EXPECT_EQ(readDangSel(store), std::nullopt);
  writeDang(store, kProject, {u"A:b"});
  writeDangSel(store, {-1, 0, -1});
  EXPECT_EQ(store.get(u"dangSel", u""), u"-1,0,-1");
  EXPECT_EQ(readDang(store), (DangValue{kProject, {u"A:b"}}));
  EXPECT_EQ(readDangSel(store), (ListSelections{-1, 0, -1}));
}

}  // namespace
}  // namespace kvm
