#include "aliases/alias_rules.h"

#include <gtest/gtest.h>

namespace kvm {
namespace {

TEST(alias_rules_test, stored_lists_collapse_spaces_and_lose_their_parentheses) {
  EXPECT_EQ(normaliseStoredAliases(u"(BL   PC  WS    DX)"), u"BL PC WS DX");
  EXPECT_EQ(normaliseStoredAliases(u"   A  B C     D   "), u"A B C D");
  EXPECT_EQ(normaliseStoredAliases(u"  ( AA  BB CC   DD )  "), u"AA BB CC DD");
  // Only one pair of enclosing parentheses goes.
  EXPECT_EQ(normaliseStoredAliases(u"((A B C D))"), u"(A B C D)");
  EXPECT_EQ(normaliseStoredAliases(u"(A B C D"), u"(A B C D");
  // Tabs are no spaces.
  EXPECT_EQ(normaliseStoredAliases(u"A\t B"), u"A\t B");
}

TEST(alias_rules_test, nothing_usable_stored_gives_the_default_list) {
  EXPECT_EQ(normaliseStoredAliases(u""), u"BL PC WS DX");
  EXPECT_EQ(normaliseStoredAliases(u"      "), u"BL PC WS DX");
  EXPECT_EQ(normaliseStoredAliases(u"()"), u"BL PC WS DX");
  EXPECT_EQ(normaliseStoredAliases(u" (   ) "), u"BL PC WS DX");
  // A lone parenthesis is not an enclosing pair.
  EXPECT_EQ(normaliseStoredAliases(u"("), u"(");
}

TEST(alias_rules_test, every_character_that_breaks_the_definition_is_refused) {
  const std::u16string list = u"中不能含有以下字符：\r\n' ( ) \" . ; 及空格！";
  for (std::u16string alias : {u"A B", u"A'", u"\"A", u"A.B", u"A;", u"(A", u"A)"}) {
    EXPECT_EQ(aliasRefusal(alias, u"BL"), u"命令名称" + alias + list);
  }
}

TEST(alias_rules_test, the_first_rule_that_fails_gives_the_message) {
  EXPECT_EQ(aliasRefusal(u"!x", u"PC"), u"命令名称!x不能以!开头。");
  // The character rule comes first.
  EXPECT_EQ(aliasRefusal(u"!.", u"PC"), u"命令名称!.中不能含有以下字符：\r\n' ( ) \" . ; 及空格！");
  EXPECT_EQ(aliasRefusal(u"?", u"WS"), u"命令名称不能使用单独一个问号。");
  EXPECT_EQ(aliasRefusal(u"", u"DX"), u"命令名称不能为空白，可以使用默认简化命令：DX。");
}

TEST(alias_rules_test, ordinary_names_pass) {
  for (std::u16string alias : {u"BL", u"??", u"a?", u"x!", u"包角", u"1", u"C:A", u"A\tB"}) {
    EXPECT_FALSE(aliasRefusal(alias, u"BL").has_value());
  }
}

TEST(alias_rules_test, aliases_are_joined_and_defined_as_the_host_reads_them) {
  EXPECT_EQ(joinAliases({u"BL", u"PC", u"WS", u"DX"}), u"BL PC WS DX");
  EXPECT_EQ(joinAliases({}), u"");
  EXPECT_EQ(aliasDefinition(u"BL", u"KavelmorList"), u"(progn(defun C:BL()(C:KavelmorList))1)");
}

}  // namespace
}  // namespace kvm
