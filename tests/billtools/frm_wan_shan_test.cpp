#include "billtools/frm_wan_shan.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/runtime_error.h"
#include "billtools/wan_shan.h"
#include "session/process.h"
#include "storage/memory_settings_store.h"
#include "tests/ui/test_ui.h"

namespace kvm {
namespace {

using testing::TestUi;

// A settings store that can be read but not written.
class ReadOnlyStore final : public MemorySettingsStore {
 public:
  void save(std::u16string_view /*key*/, std::u16string_view /*value*/) override {
    raise(err::kPermissionDenied);
  }
};

class FrmWanShanTest : public ::testing::Test {
 protected:
  FrmWanShanTest() {
    process_->ui = ui_;
    process_->settings = settings_;
  }

  FrmWanShan& form() { return frmWanShan(*process_); }

  std::shared_ptr<TestUi> ui_ = std::make_shared<TestUi>();
  std::shared_ptr<SettingsStore> settings_ = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ProcessContext> process_ = std::make_shared<ProcessContext>();
};

TEST_F(FrmWanShanTest, the_stored_options_come_back_in_load_order) {
  settings_->save(u"WanShanmode", u"1");
  settings_->save(u"WanShanNum", u"1");
  settings_->save(u"WanShanDaiTi", u"1");
  settings_->save(u"WanShanZheng", u"1");
  form().load();
  EXPECT_EQ(form().completionOptions(), u"1111");
  EXPECT_TRUE(form().chkNum.enabled());
  EXPECT_TRUE(form().chkDaiTi.enabled());
}

TEST_F(FrmWanShanTest, the_window_close_gives_c_even_after_a_changed_choice) {
  ui_->user = [this](Form&) {
    form().optMode[1].userClick();
    form().userClose();
  };
  EXPECT_EQ(WanShan(*process_), Variant(u"c"));
  EXPECT_EQ(settings_->get(u"WanShanmode", u"none"), u"none");
}

TEST_F(FrmWanShanTest, options_that_cannot_be_stored_keep_the_dialog_open) {
  settings_ = std::make_shared<ReadOnlyStore>();
  process_->settings = settings_;
  ui_->user = [this](Form&) {
    form().chkZheng.userClick();
    form().cmdOk.userClick();
    EXPECT_TRUE(form().isShown());
    EXPECT_EQ(process_->resultString, u"0001");
    form().cmdCancel.userClick();
  };
  EXPECT_EQ(WanShan(*process_), Variant(u"c"));
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"Permission denied");
}

}  // namespace
}  // namespace kvm
