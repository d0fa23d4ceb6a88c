#include "cutting/length_check/frm_check.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/runtime_error.h"
#include "cutting/length_check/chk_len.h"
#include "session/process.h"
#include "tests/ui/test_ui.h"

namespace kvm {
namespace {

using testing::TestUi;

// A desktop that cannot show the dialog.
class NoDialogs final : public Ui {
 public:
  MsgAnswer messageBox(std::u16string_view /*text*/, const std::optional<std::u16string>& /*title*/,
                       MsgIcon /*icon*/, MsgButtons /*buttons*/) override {
    return MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t /*afterWindow*/, std::u16string_view /*title*/) override {
    return false;
  }
  CalendarDate today() override { return {}; }
};

std::u16string product(std::u16string_view scale, int32_t developed = 500) {
  ProcessContext process;
  process.ui = std::make_shared<TestUi>();
  FrmCheck& form = frmCheck(process);
  form.load();
  form.showFigures(0, developed, scale);
  return form.Lb2.caption();
}

TEST(frm_check_test, the_scale_number_is_the_leading_number_after_the_prefix) {
  EXPECT_EQ(product(u"1:20"), u"出图比例1:20计算结果:10000不符，请检查！");
  EXPECT_EQ(product(u"1: 7 "), u"出图比例1: 7 计算结果:3500不符，请检查！");
  EXPECT_EQ(product(u"1:0.5"), u"出图比例1:0.5计算结果:250不符，请检查！");
  EXPECT_EQ(product(u"1:x"), u"出图比例1:x计算结果:0不符，请检查！");
  EXPECT_EQ(product(u"15"), u"出图比例15计算结果:0不符，请检查！");
  // The product is a real: a long length at a large scale does not overflow.
  EXPECT_EQ(product(u"1:1000", 2147483647), u"出图比例1:1000计算结果:2147483647000不符，请检查！");
}

TEST(frm_check_test, only_the_buttons_end_the_dialog) {
  ProcessContext process;
  auto ui = std::make_shared<TestUi>();
  process.ui = ui;
  ui->user = [&process](Form& form) {
    form.userClose();
    EXPECT_TRUE(form.isLoaded());
    frmCheck(process).cmdHuLue.userClick();
  };
  EXPECT_EQ(chkLen(process, {int32_t{5100}, int32_t{500}, u"1:10"}), Variant(u"1"));
  EXPECT_FALSE(frmCheck(process).isLoaded());
}

TEST(frm_check_test, a_dialog_that_cannot_show_fails_the_call_with_an_empty_result) {
  ProcessContext process;
  process.ui = std::make_shared<NoDialogs>();
  process.resultString = u"c";
  EXPECT_THROW(chkLen(process, {int32_t{1}, int32_t{2}, u"1:10"}), RuntimeError);
  EXPECT_EQ(process.resultString, u"");
}

}  // namespace
}  // namespace kvm
