#include "base/runtime_error.h"

#include <gtest/gtest.h>

#include <string>

namespace kvm {
namespace {

TEST(runtime_error_test, carries_number_and_the_platforms_description) {
  try {
    raise(err::kOverflow);
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 6);
    EXPECT_EQ(error.description(), u"Overflow");
    EXPECT_STREQ(error.what(), "Overflow");
  }
  EXPECT_EQ(standardDescription(err::kTypeMismatch), u"Type mismatch");
  EXPECT_EQ(standardDescription(err::kSubscriptOutOfRange), u"Subscript out of range");
  EXPECT_EQ(standardDescription(err::kDivisionByZero), u"Division by zero");
  EXPECT_EQ(standardDescription(12345), u"Application-defined or object-defined error");
}

TEST(runtime_error_test, own_descriptions_reach_what_as_utf8) {
  const RuntimeError error(5, u"长度超出");
  EXPECT_EQ(error.number(), 5);
  EXPECT_STREQ(error.what(), "\xE9\x95\xBF\xE5\xBA\xA6\xE8\xB6\x85\xE5\x87\xBA");
}

}  // namespace
}  // namespace kvm
