#include "platform/dxf/code_page_converter.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kvm::dxf {
namespace {

std::optional<std::string> converted(unsigned codePage, const std::string& bytes) {
  const std::optional<CodePageConverter> converter = CodePageConverter::open(codePage);
  EXPECT_TRUE(converter) << codePage;
  return converter ? converter->toUtf8(bytes) : std::nullopt;
}

// What the Windows converter must match: the characters a code page defines, nothing for the
// bytes it leaves undefined or a sequence cut short.
TEST(CodePageConverter, ConvertsOnlyWhatTheCodePageDefines) {
  EXPECT_EQ(converted(1252,
                      "Fa\xE7"
                      "ade \x80"),
            "Façade €");
  EXPECT_EQ(converted(1252, "BJ-\x81"), std::nullopt);
  EXPECT_EQ(converted(1251, "\xCA\xEE\xED\xB8\xEA"), "Конёк");
  EXPECT_EQ(converted(936, "\xCE\xDD\xBC\xB9"), "屋脊");
  EXPECT_EQ(converted(936, "BJ-\xCE"), std::nullopt);
  EXPECT_EQ(converted(936, "\xAA\xA1"), std::nullopt);  // the user-defined area
  EXPECT_EQ(converted(932, "\x93\x8F"), "棟");
  EXPECT_EQ(converted(1361, "\xD0\x65"), "한");
  EXPECT_EQ(converted(936, ""), "");
}

TEST(CodePageConverter, KnowsNoMadeUpCodePage) {
  EXPECT_FALSE(CodePageConverter::open(99999));
}

// A converter keeps no state from one text to the next: a text cut short does not spoil the
// next one.
TEST(CodePageConverter, StartsEachTextAfresh) {
  const std::optional<CodePageConverter> gbk = CodePageConverter::open(936);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(gbk->toUtf8("\xCE"), std::nullopt);
  EXPECT_EQ(gbk->toUtf8("\xCE\xDD"), "屋");
}

}  // namespace
}  // namespace kvm::dxf
