#include "platform/script/form_stack.h"

#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "base/expect_error.h"
#include "ui/form.h"
#include "ui/test_ui.h"

namespace kvm::script {
namespace {

using nlohmann::json;

class NamedForm final : public Form {
 public:
  NamedForm(std::shared_ptr<Ui> ui, std::u16string name, std::u16string caption)
      : Form(std::move(ui), std::move(name)) {
    setCaption(std::move(caption));
    finishDesign();
  }
};

class form_stack : public ::testing::Test {
 protected:
  std::shared_ptr<testing::TestUi> ui = std::make_shared<testing::TestUi>();
  NamedForm frmSet{ui, u"frmSet", u"设置"};
  NamedForm frmHelp{ui, u"frmHelp", u"帮助"};
  NamedForm frmEdit{ui, u"frmEdit", u"设置"};
  FormStack forms;
};

TEST_F(form_stack, shows_bottom_to_top_and_the_top_becomes_active_again_when_one_goes) {
  forms.load(frmSet);
  forms.load(frmHelp);
  forms.load(frmSet);
  forms.show(frmSet);
  forms.show(frmHelp);
  EXPECT_EQ(forms.dump(), json::parse(R"({"loaded": ["frmSet", "frmHelp"],
      "shown": ["frmSet", "frmHelp"], "topmost": [], "active": "frmHelp"})"));
  EXPECT_EQ(forms.top(), &frmHelp);

  forms.hide(frmHelp);
  EXPECT_EQ(forms.dump()["active"], "frmSet");
  EXPECT_EQ(forms.dump()["loaded"].size(), 2U);
  forms.forget(frmSet);
  EXPECT_EQ(forms.dump(), json::parse(R"({"loaded": ["frmHelp"], "shown": [], "topmost": [],
      "active": null})"));
  EXPECT_EQ(forms.top(), nullptr);
}

TEST_F(form_stack, keeps_the_top_most_layer_until_hidden) {
  forms.load(frmSet);
  forms.show(frmSet);
  forms.setTopmost(frmSet, true);
  forms.setTopmost(frmSet, true);
  EXPECT_EQ(forms.dump()["topmost"], json::parse(R"(["frmSet"])"));
  json dump = forms.dumpForm(forms.loaded(u"frmSet"));
  EXPECT_EQ(dump["shown"], true);
  EXPECT_EQ(dump["topmost"], true);
  EXPECT_EQ(dump["caption"], "设置");

  forms.setTopmost(frmSet, false);
  EXPECT_EQ(forms.dump()["topmost"], json::array());
  forms.setTopmost(frmSet, true);
  forms.hide(frmSet);
  dump = forms.dumpForm(frmSet);
  EXPECT_EQ(dump["shown"], false);
  EXPECT_EQ(dump["topmost"], false);
}

TEST_F(form_stack, activates_the_highest_shown_dialog_with_the_caption) {
  forms.show(frmSet);
  forms.show(frmEdit);
  forms.show(frmHelp);
  forms.activate(u"设置");
  EXPECT_EQ(forms.dump()["active"], "frmEdit");
  EXPECT_RUNTIME_ERROR(forms.activate(u"没有"), 5);
  EXPECT_EQ(forms.dump()["active"], "frmEdit");
}

TEST_F(form_stack, names_a_dialog_that_is_not_loaded) {
  forms.load(frmSet);
  EXPECT_EQ(&forms.loaded(u"frmSet"), &frmSet);
  try {
    (void)forms.loaded(u"frmHelp");
    ADD_FAILURE() << "a dialog not loaded was found";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "the dialog frmHelp is not loaded");
  }
}

}  // namespace
}  // namespace kvm::script
