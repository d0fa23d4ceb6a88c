#include "billtools/frm_pei_ceng.h"

#include <gtest/gtest.h>

#include <memory>

#include "billtools/peiceng.h"
#include "session/process.h"
#include "storage/memory_settings_store.h"
#include "tests/ui/test_ui.h"

namespace kvm {
namespace {

using testing::TestUi;

Variant bill(int flashings) {
  std::vector<Variant> values;
  for (int k = 0; k < flashings; ++k) {
    for (const char16_t* value : {u"包角", u"4000", u"100", u"白灰", u"100", u"1", u"500", u"2"}) {
      values.emplace_back(value);
    }
  }
  return Variant::array(VarType::Variant, std::move(values));
}

Variant header() {
  return Variant::array(VarType::Variant, {u"工程", u"0.5", u"100", u"350", u"2016/3/2"});
}

class FrmPeiCengTest : public ::testing::Test {
 protected:
  FrmPeiCengTest() {
    process_->ui = ui_;
    process_->settings = settings_;
  }

  Variant call(const Variant& values, int16_t bj, int16_t stid = 0) {
    return peiceng(*process_, {values, bj, header(), stid});
  }
  FrmPeiCeng& form() { return frmPeiCeng(*process_); }

  std::shared_ptr<TestUi> ui_ = std::make_shared<TestUi>();
  std::shared_ptr<SettingsStore> settings_ = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ProcessContext> process_ = std::make_shared<ProcessContext>();
};

TEST_F(FrmPeiCengTest, the_value_count_rounds_to_even_flashings) {
  call(bill(1), 0);
  EXPECT_EQ(form().M1.rows(), 2);
  // 20 values are 2.5 flashings: two rows, the last four values unused.
  std::vector<Variant> values = bill(2).arrayValue().elements;
  values.insert(values.end(), 4, Variant(u"x"));
  call(Variant::array(VarType::Variant, values), 0);
  EXPECT_EQ(form().M1.rows(), 3);
  EXPECT_TRUE(ui_->boxes.empty());
  // 28 values are 3.5 flashings: four rows asked of values that are not there.
  values.insert(values.end(), 8, Variant(u"y"));
  call(Variant::array(VarType::Variant, values), 0);
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"Subscript out of range");
}

TEST_F(FrmPeiCengTest, more_flashings_than_an_integer_counts_overflow) {
  std::vector<Variant> values(std::size_t{8} * 32767U, Variant(u"v"));
  call(Variant::array(VarType::Variant, std::move(values)), 0);
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"Overflow");
}

TEST_F(FrmPeiCengTest, the_dialog_widens_for_the_scroll_bar_only_while_rows_do_not_fit) {
  ui_->user = [this](Form&) { form().cmdDaoChu.userClick(); };
  call(bill(10), 0);
  EXPECT_EQ(form().width(), 650);
  EXPECT_EQ(form().M1.width(), 624);
  call(bill(11), 0);
  call(bill(30), 0);
  EXPECT_EQ(form().width(), 667);
  EXPECT_EQ(form().M1.width(), 641);
  EXPECT_EQ(form().lbDate.left(), 557);
  // A fresh load starts from the design size again.
  ui_->user = [this](Form&) { form().cmdClose.userClick(); };
  call(Variant(), 1);
  int32_t shownWidth = 0;
  ui_->user = [this, &shownWidth](Form&) {
    shownWidth = form().width();
    form().cmdClose.userClick();
  };
  call(Variant(), 1);
  EXPECT_EQ(shownWidth, 650);
}

TEST_F(FrmPeiCengTest, the_load_centres_the_dialog_and_reads_the_display_choices) {
  settings_->save(u"danxian", u"-1");
  settings_->save(u"WriteName", u"2");
  form().load();
  EXPECT_EQ(form().optShow.selected(), 1);
  EXPECT_EQ(form().chkWriteName.value(), 0);
  EXPECT_EQ(form().left(), (1920 - 650) / 2);
  EXPECT_EQ(form().top(), (1080 - 400) / 2);
  EXPECT_EQ(form().M1.row(), 1);
}

TEST_F(FrmPeiCengTest, the_requests_separate_their_fields_with_code_one) {
  ui_->user = [this](Form&) {
    form().M1.userSelectRow(2);
    form().optShow[2].userClick();
    form().chkWriteName.userClick();
    form().cmdPick.userClick();
  };
  EXPECT_EQ(call(bill(2), 0, 5), Variant(u"pick1\x01包角\x01白灰\x01"
                                         u"2\x01"
                                         u"1"));
  EXPECT_EQ(form().M1.textMatrix(2, 0), u"7");
  EXPECT_EQ(form().M1.textMatrix(2, 8), u"1:20");
  EXPECT_TRUE(form().isLoaded());
  EXPECT_FALSE(form().isShown());
  EXPECT_EQ(form().exportRecord(),
            u"工程名称：工程\x01除注明外，包角板厚度：0.5mm，包角线长度分类等级：100，预清单字高："
            u"350\x01"
            u"2016/3/2"
            u"\x01"
            u"6\x01包角\x01"
            u"4000\x01"
            u"100\x01白灰\x01"
            u"100\x01"
            u"1\x01"
            u"500\x01"
            u"1:20"
            u"\x01"
            u"7\x01包角\x01"
            u"4000\x01"
            u"100\x01白灰\x01"
            u"100\x01"
            u"1\x01"
            u"500\x01"
            u"1:20");
}

TEST_F(FrmPeiCengTest, the_timer_drops_the_top_most_state_once) {
  ui_->user = [this](Form&) {
    form().Timer1.fire();
    form().Timer1.fire();
    form().cmdClose.userClick();
  };
  EXPECT_EQ(call(bill(1), 0), Variant(u"c"));
  EXPECT_EQ(ui_->events,
            (std::vector<std::u16string>{u"loaded frmPeiCeng", u"topmost frmPeiCeng",
                                         u"shown frmPeiCeng", u"not topmost frmPeiCeng",
                                         u"activate 包角线配层", u"unloaded frmPeiCeng"}));
}

}  // namespace
}  // namespace kvm
