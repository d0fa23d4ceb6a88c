#include <gtest/gtest.h>

#include "settings/frm_add.h"
#include "settings/list_order.h"
#include "settings/name_rules.h"
#include "settings/panel_rules.h"
#include "tests/settings/settings_dialog_fixture.h"

namespace kvm {
namespace {

TEST(name_rules_test, names_are_trimmed_elsewhere_and_measured_in_gbk_bytes) {
  EXPECT_EQ(checkNewName(u"", 16), NameFault::Empty);
  EXPECT_EQ(checkNewName(u"一二三四五六七八", 16), NameFault::None);
  EXPECT_EQ(checkNewName(u"一二三四五六七八九", 16), NameFault::TooLong);
  EXPECT_EQ(checkNewName(u"一二三四五六七八a", 16), NameFault::TooLong);
  EXPECT_EQ(checkNewName(u"abcdefghijklmnopqrst", 20), NameFault::None);
  EXPECT_EQ(checkNewName(u"abcdefghijklmnopqrstu", 20), NameFault::TooLong);
}

TEST(name_rules_test, blanks_and_the_stored_texts_separators_are_refused_alike) {
  for (const std::u16string_view name :
       {u"A B", u"A\tB", u"A:B", u"A|B", u"\x01", u"A\x05", u"A\r\n", u"\x1F"}) {
    EXPECT_EQ(checkNewName(name, 20), NameFault::Blank) << toUtf8(name);
  }
  // A refused character is reported before the length.
  EXPECT_EQ(checkNewName(u"一二三四五六七八九十一 ", 20), NameFault::Blank);
  EXPECT_EQ(checkNewName(u"A-B_C.（甲）", 20), NameFault::None);
}

TEST(name_rules_test, project_name_and_colour_refuse_control_characters) {
  EXPECT_FALSE(keptProjectName(u"工程\t一"));
  EXPECT_FALSE(keptProjectName(u"工程\x02"));
  EXPECT_EQ(keptProjectName(u" 工程:一|二 "), u"工程:一|二");
  EXPECT_FALSE(keptColour(u"红\x03"));
  EXPECT_EQ(keptColour(u"红|色"), u"红|色");
}

TEST(list_order_test, a_moved_element_leaves_the_others_in_order) {
  std::vector<int> items{0, 1, 2, 3, 4};
  moveElement(items, 3, 0);
  EXPECT_EQ(items, (std::vector<int>{3, 0, 1, 2, 4}));
  moveElement(items, 0, 4);
  EXPECT_EQ(items, (std::vector<int>{0, 1, 2, 4, 3}));
  moveElement(items, 2, 3);
  EXPECT_EQ(items, (std::vector<int>{0, 1, 4, 2, 3}));
  moveElement(items, 2, 2);
  EXPECT_EQ(items, (std::vector<int>{0, 1, 4, 2, 3}));
}

TEST(list_order_test, sorting_is_pinyin_latin_first_case_insensitive_and_stable) {
  const std::vector<std::u16string> texts{u"天窗", u"b",    u"彩钢", u"B",
                                          u"a2",   u"门框", u"b",    u"A1"};
  EXPECT_EQ(collatedOrder(texts), (std::vector<std::size_t>{7, 4, 1, 3, 6, 2, 5, 0}));
  EXPECT_EQ(
      inOrder(texts, collatedOrder(texts)),
      (std::vector<std::u16string>{u"A1", u"a2", u"b", u"B", u"b", u"彩钢", u"门框", u"天窗"}));
  EXPECT_TRUE(collatedOrder({}).empty());
}

class EditingTest : public testing::SettingsDialogTest {
 protected:
  // Plays the add dialog: types the name and presses OK.
  void addThroughDialog(Button& button, const std::u16string& name) {
    ui_->user = [name](Form& dialog) {
      auto& add = dynamic_cast<FrmAdd&>(dialog);
      add.Text1.userType(name);
      add.cmdOk.userClick();
    };
    button.userClick();
    ui_->user = nullptr;
  }
};

TEST_F(EditingTest, a_new_flashing_has_the_default_attributes_and_no_profile) {
  form().load();
  addThroughDialog(form().cmdAdd2, u" 新包角 ");
  const Flashing& added = state().libraries[0].Flashings[7];
  Flashing expected;
  expected.Name = u"新包角";
  expected.MaxCutLength = 4000;
  expected.Overlap = 100;
  expected.Color = u"天蓝色";
  expected.EndExtension = 100;
  expected.LengthFactor = 1.0F;
  expected.DevelopedWidth = 500;
  expected.ScaleCode = 1;
  EXPECT_EQ(added, expected);
  EXPECT_FALSE(added.SegmentAngles.isAllocated());
  EXPECT_FALSE(added.DimensionMarks.isAllocated());
  EXPECT_EQ(form().lstErJi.text(), u"新包角");
  EXPECT_TRUE(state().modified);
}

TEST_F(EditingTest, the_last_flashing_and_the_last_library_leave_unallocated_arrays) {
  form().load();
  addThroughDialog(form().cmdAdd, u"新仓库");
  addThroughDialog(form().cmdAdd2, u"新包角");
  ui_->answers = {MsgAnswer::Yes};
  form().cmdDelEr.userClick();
  ASSERT_EQ(state().libraries.size(), 7U);
  EXPECT_FALSE(state().libraries[6].Flashings.isAllocated());

  for (int i = 0; i < 7; ++i) {
    form().lstCangKu.setListIndex(0);
    ui_->answers = {MsgAnswer::Yes};
    form().cmdDelCang.userClick();
  }
  EXPECT_FALSE(state().libraries.isAllocated());
  EXPECT_EQ(form().lstCangKu.listCount(), 0);
}

TEST_F(EditingTest, rename_without_a_selected_row_names_the_list) {
  form().load();
  form().lstErJi.setListIndex(-1);
  form().lstErJi.userRightButtonUp();
  form().mnuName.onClick();
  EXPECT_EQ(lastBox(), u"请先选择一个要重命名的包角名称。");
  EXPECT_EQ(ui_->boxes.back().title, std::u16string(u"包角重命名"));
  EXPECT_EQ(form().focus(), &form().lstErJi);

  form().lstCangKu.setListIndex(-1);
  form().lstCangKu.userRightButtonUp();
  form().mnuName.onClick();
  EXPECT_EQ(lastBox(), u"请先选择一个要重命名的包角仓库名称。");
  EXPECT_EQ(ui_->boxes.back().title, std::u16string(u"包角仓库重命名"));
  EXPECT_EQ(form().focus(), &form().lstCangKu);
}

TEST_F(EditingTest, a_rename_goes_through_on_the_list_when_no_record_matches) {
  form().load();
  form().lstDang.addItem(u"彩钢板屋面:屋脊包角");
  state().libraries[0].Name = u"另一个名称";
  form().lstCangKu.userRightButtonUp();
  EXPECT_FALSE(form().reName(u"彩钢墙面"));
  EXPECT_TRUE(form().reName(u"新名称"));
  EXPECT_EQ(form().lstCangKu.list(0), u"新名称");
  EXPECT_EQ(state().libraries[0].Name, u"另一个名称");
  EXPECT_EQ(form().lstDang.list(0), u"彩钢板屋面:屋脊包角");
  EXPECT_FALSE(state().modified);
}

TEST_F(EditingTest, sorting_libraries_of_one_name_keeps_each_with_its_flashings) {
  form().load();
  // Only a database file can hold two libraries of one name.
  state().libraries[4].Name = u"彩钢板屋面";
  form().lstCangKu.removeItem(4);
  form().lstCangKu.addItem(u"彩钢板屋面", 4);
  const LibraryTable before = state().libraries;
  form().lstCangKu.userRightButtonUp();
  form().mnuSort.userPick();
  ASSERT_EQ(state().libraries.size(), 6U);
  EXPECT_EQ(state().libraries[0], before[0]);
  EXPECT_EQ(state().libraries[1], before[4]);
  for (int32_t row = 0; row < form().lstCangKu.listCount(); ++row) {
    EXPECT_EQ(form().lstCangKu.list(row), state().libraries[static_cast<std::size_t>(row)].Name);
  }
  EXPECT_EQ(form().lstCangKu.listIndex(), 0);
}

TEST_F(EditingTest, a_move_that_finds_no_record_changes_nothing) {
  form().load();
  state().libraries[0].Flashings.resize(3);
  form().lstErJi.setListIndex(5);
  form().lstErJi.userRightButtonUp();
  form().mnuBottom.userPick();
  EXPECT_EQ(lastBox(), u"Subscript out of range");
  EXPECT_EQ(form().lstErJi.list(5), u"纵墙包角a");
  EXPECT_EQ(form().lstErJi.listIndex(), 5);
  EXPECT_EQ(form().lstErJi.tag(), u"");
  EXPECT_EQ(state().libraries[0].Flashings.size(), 3U);
}

TEST_F(EditingTest, a_current_use_entry_without_a_colon_can_be_deleted) {
  form().load();
  form().lstDang.addItem(u"无冒号");
  form().lstDang.setListIndex(0);
  ui_->answers = {MsgAnswer::Yes};
  form().cmdDelDang.userClick();
  EXPECT_EQ(form().lstDang.listCount(), 0);
  EXPECT_EQ(ui_->boxes.size(), 1U);
}

TEST_F(EditingTest, a_bill_that_cannot_reach_the_command_line_hands_nothing_over) {
  form().load();
  form().lstDang.addItem(u"无此库:屋脊包角");
  form().lstDang.addItem(u"彩钢板屋面:屋脊包角");
  process_->resultString = u"c";
  form().cmdQingDan.userClick();
  EXPECT_EQ(lastBox(), u"Object variable or With block variable not set");
  EXPECT_EQ(process_->resultString, u"c");
}

}  // namespace
}  // namespace kvm
