#include "platform/script/action_check.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/script/script_stop.h"
#include "ui/test_form.h"
#include "ui/test_ui.h"

namespace kvm::script {
namespace {

// The words a check stops with, or "" when it passes.
template <class Check>
std::string stopOf(Check check) {
  try {
    check();
  } catch (const ScriptStop& stop) {
    return stop.what();
  }
  return "";
}

TEST(action_check, names_the_keys_by_their_windows_codes) {
  EXPECT_EQ(keyCode("Up"), 38);
  EXPECT_EQ(keyCode("PageUp"), 33);
  EXPECT_EQ(keyCode("PageDown"), 34);
  EXPECT_EQ(keyCode("Enter"), 13);
  EXPECT_EQ(keyCode("Escape"), 27);
  EXPECT_EQ(stopOf([] { (void)keyCode("up"); }), "unknown key up");
  EXPECT_EQ(stopOf([] { (void)keyCode("Tab"); }), "unknown key Tab");
}

TEST(action_check, kinds_follow_the_models) {
  testing::TestForm form(std::make_shared<testing::TestUi>());
  EXPECT_STREQ(controlKind(form.lst), "list");
  EXPECT_STREQ(controlKind(form.txt), "text");
  EXPECT_STREQ(controlKind(form.Timer1), "timer");
}

TEST(action_check, each_verb_takes_its_kinds_of_control) {
  const auto kind = [](const char* verb, const char* of) {
    return stopOf([&] { checkControlKind(verb, of, "ctl", "frmSet"); });
  };
  for (const char* clickable : {"button", "check", "option", "menu"}) {
    EXPECT_EQ(kind("click", clickable), "") << clickable;
  }
  EXPECT_EQ(kind("click", "label"), "ctl cannot be clicked");
  EXPECT_EQ(kind("dblclick", "grid"), "");
  EXPECT_EQ(kind("dblclick", "text"), "ctl cannot be double-clicked");
  EXPECT_EQ(kind("text", "combo"), "");
  EXPECT_EQ(kind("text", "list"), "ctl of frmSet is not a text box");
  EXPECT_EQ(kind("grid", "list"), "ctl of frmSet is not a grid");
  EXPECT_EQ(kind("key", "picture"), "");
  for (const char* listVerb : {"select", "check", "wheel", "scroll", "mousedown", "rclick"}) {
    EXPECT_EQ(kind(listVerb, "list"), "") << listVerb;
    EXPECT_EQ(kind(listVerb, "grid"), "ctl of frmSet is not a list") << listVerb;
  }
  EXPECT_EQ(stopOf([] { checkControlVerb("rclick"); }), "");
  EXPECT_EQ(stopOf([] { checkControlVerb("drag"); }), "unknown action drag");
}

TEST(action_check, a_list_row_must_be_there_in_view_and_checkable) {
  const ListView list{20, 4, 12, false};
  const auto row = [&](const char* verb, int32_t at) {
    return stopOf([&] { checkListRow(verb, "lst", at, list); });
  };
  EXPECT_EQ(row("select", 4), "");
  EXPECT_EQ(row("select", 15), "");
  EXPECT_EQ(row("select", 20), "lst has no row 20");
  EXPECT_EQ(row("select", -1), "lst has no row -1");
  EXPECT_EQ(row("select", 16), "row 16 of lst is not visible; scroll the list first");
  EXPECT_EQ(row("check", 3), "row 3 of lst is not visible; scroll the list first");
  EXPECT_EQ(row("check", 5), "lst has no check boxes");
  EXPECT_EQ(stopOf([] { checkGridRow("grd", 3, 3); }), "grd has no row 3");
  EXPECT_EQ(stopOf([] { checkGridRow("grd", 0, 3); }), "");
}

}  // namespace
}  // namespace kvm::script
