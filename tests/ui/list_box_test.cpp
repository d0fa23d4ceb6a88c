#include "ui/list_box.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/runtime_error.h"
#include "base/text.h"
#include "test_form.h"
#include "test_ui.h"

namespace kvm::testing {
namespace {

class ListBoxTest : public ::testing::Test {
 protected:
  void fill(int rows) {
    for (int i = 0; i < rows; ++i) {
      form.lst.addItem(u"row" + decimal(i));
    }
    form.lst.onClick = [this] { ++clicks; };
    form.lst.onItemCheck = [this](int32_t row) { checks.push_back(row); };
  }

  std::shared_ptr<TestUi> ui = std::make_shared<TestUi>();
  TestForm form{ui};
  int clicks = 0;
  std::vector<int32_t> checks;
};

TEST_F(ListBoxTest, program_changes_raise_the_same_events_as_the_user) {
  fill(3);
  form.lst.setListIndex(1);
  form.lst.setListIndex(1);
  form.lst.setSelected(2, true);
  form.lst.setSelected(2, true);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(checks, std::vector<int32_t>{2});
  EXPECT_EQ(form.lst.text(), u"row1");
}

TEST_F(ListBoxTest, rows_outside_the_list_are_errors_or_empty_texts) {
  fill(2);
  EXPECT_THROW(form.lst.setListIndex(2), RuntimeError);
  EXPECT_THROW(form.lst.setListIndex(-2), RuntimeError);
  EXPECT_THROW((void)form.lst.selected(5), RuntimeError);
  EXPECT_EQ(form.lst.list(7), u"");
  form.lst.setListIndex(-1);
  EXPECT_EQ(form.lst.text(), u"");
}

TEST_F(ListBoxTest, selecting_a_row_scrolls_it_into_view_and_the_top_stays_in_range) {
  fill(20);
  form.lst.setListIndex(19);
  EXPECT_EQ(form.lst.topIndex(), 8);
  form.lst.setListIndex(3);
  EXPECT_EQ(form.lst.topIndex(), 3);
  form.lst.setTopIndex(50);
  EXPECT_EQ(form.lst.topIndex(), 8);
  form.lst.setTopIndex(-4);
  EXPECT_EQ(form.lst.topIndex(), 0);
}

TEST_F(ListBoxTest, removing_rows_keeps_the_selection_on_its_item) {
  fill(5);
  form.lst.setListIndex(3);
  form.lst.removeItem(1);
  EXPECT_EQ(form.lst.listIndex(), 2);
  EXPECT_EQ(form.lst.text(), u"row3");
  form.lst.removeItem(2);
  EXPECT_EQ(form.lst.listIndex(), -1);
  form.lst.addItem(u"first", 0);
  EXPECT_EQ(form.lst.list(0), u"first");
  EXPECT_EQ(clicks, 1);
}

TEST_F(ListBoxTest, navigation_keys_move_the_selection_by_row_page_and_end) {
  fill(30);
  form.lst.userKey(vk::kDown);
  EXPECT_EQ(form.lst.listIndex(), 0);
  form.lst.userKey(vk::kPageDown);
  EXPECT_EQ(form.lst.listIndex(), 11);
  form.lst.userKey(vk::kPageDown);
  EXPECT_EQ(form.lst.listIndex(), 22);
  EXPECT_EQ(form.lst.topIndex(), 11);
  form.lst.userKey(vk::kEnd);
  EXPECT_EQ(form.lst.listIndex(), 29);
  form.lst.userKey(vk::kDown);
  EXPECT_EQ(form.lst.listIndex(), 29);
  form.lst.userKey(vk::kHome);
  EXPECT_EQ(form.lst.listIndex(), 0);
  form.lst.userKey(vk::kUp);
  form.lst.userKey(vk::kPageUp);
  EXPECT_EQ(form.lst.listIndex(), 0);
  EXPECT_EQ(clicks, 5);  // only the keys that moved the selection
  EXPECT_TRUE(form.lst.hasFocus());
}

TEST_F(ListBoxTest, the_wheel_scrolls_three_rows_a_notch_without_moving_the_selection) {
  fill(13);
  form.lst.setListIndex(0);
  form.lst.userWheel(-1);
  EXPECT_EQ(form.lst.topIndex(), 1);
  form.lst.userWheel(2);
  EXPECT_EQ(form.lst.topIndex(), 0);
  EXPECT_EQ(form.lst.listIndex(), 0);
}

TEST_F(ListBoxTest, a_click_selects_on_press_and_raises_click_on_release) {
  fill(3);
  form.lst.userMouseDown(20);
  EXPECT_EQ(form.lst.listIndex(), 1);
  EXPECT_EQ(clicks, 1);
  // Below the last row the list's own procedure takes the last row.
  form.lst.userMouseDown(170);
  EXPECT_EQ(form.lst.listIndex(), 2);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ListBoxTest, the_window_procedure_sees_every_message_first_and_may_discard_it) {
  fill(3);
  std::vector<ListMessageKind> seen;
  form.lst.windowProc = [&](const ListMessage& message, const ListBox::OwnProcedure& pass) {
    seen.push_back(message.kind);
    if (message.kind != ListMessageKind::LeftButtonDown) {
      pass();
    }
  };
  form.lst.userCheck(1);
  EXPECT_EQ(form.lst.listIndex(), -1);
  EXPECT_FALSE(form.lst.selected(1));
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(checks.empty());
  EXPECT_EQ(seen, (std::vector<ListMessageKind>{ListMessageKind::LeftButtonDown,
                                                ListMessageKind::LeftButtonUp}));

  form.lst.windowProc = nullptr;
  form.lst.userCheck(1);
  EXPECT_EQ(form.lst.listIndex(), 1);
  EXPECT_TRUE(form.lst.selected(1));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(checks, std::vector<int32_t>{1});
}

TEST_F(ListBoxTest, a_scroll_bar_drag_raises_scroll) {
  fill(20);
  int scrolls = 0;
  form.lst.onScroll = [&] { ++scrolls; };
  form.lst.userScroll(30);
  EXPECT_EQ(form.lst.topIndex(), 8);
  EXPECT_EQ(scrolls, 1);
}

TEST_F(ListBoxTest, visible_rows_follow_height_and_row_height) {
  form.lst.setRowHeight(13);
  form.lst.setHeight(156);
  EXPECT_EQ(form.lst.visibleRows(), 12);
  form.lst.setRowHeight(15);
  form.lst.setHeight(180);
  EXPECT_EQ(form.lst.visibleRows(), 12);
}

}  // namespace
}  // namespace kvm::testing
