#include <gtest/gtest.h>

#include "base/codepage.h"

namespace kvm {
namespace {

// The tables come from the system's code page 936; these codes are fixed by it.
TEST(codepage_win32, the_system_code_page_936_gives_the_gbk_codes) {
  EXPECT_EQ(toGbk(u"包角"), "\xB0\xFC\xBD\xC7");
  EXPECT_EQ(fromGbk("\xB0\xFC\xBD\xC7"), u"包角");
  EXPECT_EQ(toGbk(u"BJ-清单"), "BJ-\xC7\xE5\xB5\xA5");
  EXPECT_EQ(fromGbk("\x80"), u"\u20AC");
  EXPECT_EQ(gbkByteLength(u"a包"), 3U);
  EXPECT_EQ(toGbk(u"\u00E9"), "\xA8\xA6");  // pinyin letters are in the code page
  EXPECT_EQ(toGbk(u"\u0E01\U0001F600"), "??");
}

TEST(codepage_win32, bytes_outside_the_code_page_never_fail) {
  EXPECT_EQ(fromGbk("\xFF"), u"\uFFFD");
  EXPECT_EQ(fromGbk("a\x81"), u"a\uFFFD");
}

}  // namespace
}  // namespace kvm
