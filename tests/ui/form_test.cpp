#include "ui/form.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/runtime_error.h"
#include "test_form.h"
#include "test_ui.h"
#include "ui/check_box.h"
#include "ui/control_array.h"
#include "ui/form_show.h"
#include "ui/grid.h"
#include "ui/label.h"
#include "ui/option_group.h"

namespace kvm::testing {
namespace {

using Events = std::vector<std::u16string>;

TEST(form_test, every_load_starts_again_from_the_design) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  form.load();
  form.txt.setText(u"typed");
  form.lst.addItem(u"row");
  form.lst.setTag(u"1");
  form.setCaption(u"changed");
  form.load();  // already loaded: nothing happens
  EXPECT_EQ(form.loads, 1);
  ASSERT_TRUE(form.unload());
  form.load();
  EXPECT_EQ(form.loads, 2);
  EXPECT_EQ(form.txt.text(), u"design");
  EXPECT_EQ(form.lst.listCount(), 0);
  EXPECT_EQ(form.lst.tag(), u"");
  EXPECT_EQ(form.caption(), u"Test");
  EXPECT_EQ(ui->events, (Events{u"loaded frmTest", u"unloaded frmTest", u"loaded frmTest"}));
}

TEST(form_test, a_cancelled_query_keeps_the_form_loaded_and_shown) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  ui->user = [&](Form&) {
    form.refuseUnload = true;
    form.userClose();
    EXPECT_TRUE(form.isShown());
    form.refuseUnload = false;
    form.userClose();
  };
  form.showModal();
  EXPECT_FALSE(form.isLoaded());
  EXPECT_EQ(form.unloads, 1);
  EXPECT_EQ(ui->events, (Events{u"loaded frmTest", u"shown frmTest", u"unloaded frmTest"}));
}

TEST(form_test, the_form_show_pattern_raises_the_window_until_the_first_tick) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  form.Timer1.onTimer = [&] {
    setWindowTopmost(form, false);
    endTimer1Tick(form, form.Timer1);
  };
  ui->user = [&](Form&) {
    EXPECT_TRUE(form.Timer1.enabled());
    form.Timer1.fire();
    EXPECT_FALSE(form.Timer1.enabled());
    form.Timer1.fire();  // a disabled timer does not fire
    form.hide();
  };
  showTopmostModal(form, form.Timer1);
  EXPECT_TRUE(form.isLoaded());
  EXPECT_EQ(ui->events, (Events{u"loaded frmTest", u"topmost frmTest", u"shown frmTest",
                                u"not topmost frmTest", u"activate Test", u"hidden frmTest"}));
}

TEST(form_test, controls_are_found_by_name_including_array_elements) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  ControlArray<Label> labels(form, u"lbN", 3);
  EXPECT_EQ(form.findControl(u"lbN(2)"), &labels[2]);
  EXPECT_EQ(form.findControl(u"lst"), &form.lst);
  EXPECT_EQ(form.findControl(u"nothing"), nullptr);
  EXPECT_THROW(labels[3], RuntimeError);
}

TEST(form_test, an_autosized_label_is_six_pixels_a_gbk_byte) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  Label label(form, u"lbW", true);
  label.setCaption(u"500");
  EXPECT_EQ(label.width(), 18);
  label.setCaption(u"展开宽度");
  EXPECT_EQ(label.width(), 48);
}

TEST(form_test, text_selection_stays_inside_the_text) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  form.txt.setText(u"abc");
  form.txt.select(0, 6);
  EXPECT_EQ(form.txt.selLength(), 3);
  form.txt.select(9, 1);
  EXPECT_EQ(form.txt.selStart(), 3);
  EXPECT_EQ(form.txt.selLength(), 0);
  form.txt.userType(u"typed");
  EXPECT_EQ(form.txt.selStart(), 5);
  EXPECT_EQ(form.focus(), &form.txt);
}

TEST(form_test, option_buttons_of_a_group_exclude_each_other) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  OptionGroup group(form, u"optMode", {u"a", u"b", u"c"});
  std::vector<int32_t> clicked;
  group.onClick = [&](int32_t index) { clicked.push_back(index); };
  EXPECT_EQ(group.selected(), -1);
  group[1].setValue(true);
  group[1].setValue(true);
  group[2].userClick();
  EXPECT_EQ(group.selected(), 2);
  EXPECT_FALSE(group[1].value());
  EXPECT_EQ(clicked, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(form.findControl(u"optMode(0)"), &group[0]);
}

TEST(form_test, a_check_box_runs_click_when_its_value_changes) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  CheckBox box(form, u"chkNum", u"数量");
  int clicks = 0;
  box.onClick = [&] { ++clicks; };
  box.setValue(1);
  box.setValue(1);
  box.userClick();
  EXPECT_EQ(box.value(), 0);
  EXPECT_EQ(clicks, 2);
}

TEST(form_test, a_grid_keeps_its_cells_and_current_cell_inside_the_table) {
  auto ui = std::make_shared<TestUi>();
  TestForm form(ui);
  Grid grid(form, u"M1", 1, 9);
  grid.setTextMatrix(0, 1, u"包角名称");
  grid.setRows(3);
  grid.setTextMatrix(2, 8, u"1:10");
  int changes = 0;
  int clicks = 0;
  grid.onRowColChange = [&] { ++changes; };
  grid.onClick = [&] { ++clicks; };
  grid.userSelectRow(2);
  grid.userSelectRow(2);
  EXPECT_EQ(grid.row(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(grid.textMatrix(0, 1), u"包角名称");
  EXPECT_THROW((void)grid.textMatrix(3, 0), RuntimeError);
  grid.setRows(2);
  EXPECT_EQ(grid.row(), 1);
  EXPECT_EQ(grid.cells().size(), 2U);
}

}  // namespace
}  // namespace kvm::testing
