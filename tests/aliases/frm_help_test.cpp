#include "aliases/frm_help.h"

#include <gtest/gtest.h>

#include <memory>

#include "aliases/alias_editor.h"
#include "base/runtime_error.h"
#include "platform/sim/host/sim_host.h"
#include "session/process.h"
#include "storage/memory_settings_store.h"
#include "tests/ui/test_ui.h"

namespace kvm {
namespace {

using testing::TestUi;

class NoEvents final : public script::EventSink {
 public:
  void emit(nlohmann::json /*event*/) override {}
};

// A registry that cannot be written, as with a key the user may not create.
class ReadOnlyRegistry final : public MemorySettingsStore {
 public:
  void registrySet(std::u16string_view /*name*/, std::u16string_view /*value*/) override {
    raise(err::kPermissionDenied);
  }
};

class FrmHelpTest : public ::testing::Test {
 protected:
  FrmHelpTest() {
    process_->ui = ui_;
    process_->settings = settings_;
    process_->hostApplication = host_.application();
  }

  FrmHelp& form() { return frmHelp(*process_); }
  [[nodiscard]] nlohmann::json definedFunctions() const { return host_.dumpLisp()["functions"]; }

  NoEvents events_;
  sim::SimHost host_{events_};
  std::shared_ptr<TestUi> ui_ = std::make_shared<TestUi>();
  std::shared_ptr<SettingsStore> settings_ = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ProcessContext> process_ = std::make_shared<ProcessContext>();
};

TEST_F(FrmHelpTest, a_save_stores_the_trimmed_aliases_and_defines_them) {
  form().load();
  form().txtNm[0].setText(u"  L1 ");
  EXPECT_TRUE(form().save());
  EXPECT_EQ(settings_->registryGet(u"JHML"), u"L1 PC WS DX");
  EXPECT_EQ(form().txtNm[0].tag(), u"L1");
  EXPECT_EQ(definedFunctions(), nlohmann::json({"C:DX", "C:L1", "C:PC", "C:WS"}));
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"简化命令保存成功！");
  EXPECT_EQ(ui_->boxes[0].title, u"保存");
}

TEST_F(FrmHelpTest, an_old_host_is_reached_through_its_own_visual_lisp_interface) {
  host_.configure({{"version", "15.06s (LMS Tech)"}});
  form().load();
  EXPECT_TRUE(form().save());
  EXPECT_EQ(definedFunctions().size(), 4U);
}

TEST_F(FrmHelpTest, a_registry_that_cannot_be_written_fails_the_save_quietly) {
  settings_ = std::make_shared<ReadOnlyRegistry>();
  process_->settings = settings_;
  form().load();
  EXPECT_FALSE(form().save());
  EXPECT_TRUE(ui_->boxes.empty());
  EXPECT_TRUE(definedFunctions().empty());
}

TEST_F(FrmHelpTest, a_refused_alias_stops_the_save_before_anything_is_written) {
  form().load();
  form().txtNm[1].setText(u"P;C");
  form().txtNm[2].setText(u"?");
  EXPECT_FALSE(form().save());
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text.substr(0, 7), u"命令名称P;C");
  EXPECT_TRUE(form().txtNm[1].hasFocus());
  EXPECT_EQ(form().txtNm[1].selLength(), 3);
  EXPECT_FALSE(settings_->registryGet(u"JHML").has_value());
}

TEST_F(FrmHelpTest, without_a_host_the_aliases_still_load_and_the_save_shows_the_error) {
  process_->hostApplication = nullptr;
  settings_->registrySet(u"JHML", u"A B C D");
  form().load();
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"Object variable or With block variable not set");
  EXPECT_EQ(form().txtNm[3].text(), u"D");
  EXPECT_FALSE(form().save());
  EXPECT_EQ(ui_->boxes.size(), 2U);
  // The value was written before the host was needed.
  EXPECT_EQ(settings_->registryGet(u"JHML"), u"A B C D");
}

TEST_F(FrmHelpTest, the_close_question_is_asked_once_and_a_failed_save_keeps_the_dialog) {
  ui_->user = [this](Form&) {
    form().txtNm[0].setText(u"");
    form().txtNm[1].setText(u"X");
    ui_->answers = {MsgAnswer::Yes};
    form().userClose();
    EXPECT_TRUE(form().isLoaded());
    form().txtNm[0].setText(u"B");
    ui_->answers = {MsgAnswer::Yes};
    form().userClose();
  };
  showAliasEditor(*process_);
  EXPECT_FALSE(form().isLoaded());
  ASSERT_EQ(ui_->boxes.size(), 4U);
  EXPECT_EQ(ui_->boxes[0].title, u"保存简化命令");
  EXPECT_EQ(ui_->boxes[1].text, u"命令名称不能为空白，可以使用默认简化命令：BL。");
  EXPECT_EQ(ui_->boxes[3].text, u"简化命令保存成功！");
  EXPECT_EQ(settings_->registryGet(u"JHML"), u"B X WS DX");
}

TEST_F(FrmHelpTest, the_toolbar_box_follows_the_host_without_switching_it_back) {
  host_.configure(
      {{"menugroups",
        {{{"name", "QORNCAD"}, {"toolbars", {{{"tagstring", "ID_KVM"}, {"visible", true}}}}}}}});
  form().load();
  EXPECT_EQ(form().chkOpen.value(), 1);
  EXPECT_EQ(form().chkOpen.tag(), u"");
  EXPECT_EQ(host_.dumpHost()["menugroups"][0]["toolbars"][0]["visible"], true);
  form().chkOpen.userClick();
  EXPECT_EQ(host_.dumpHost()["menugroups"][0]["toolbars"][0]["visible"], false);
}

}  // namespace
}  // namespace kvm
