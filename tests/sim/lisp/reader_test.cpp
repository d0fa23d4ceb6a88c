#include "platform/sim/lisp/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lisp_error.h"
#include "platform/sim/lisp/printer.h"

namespace kvm::sim {
namespace {

std::string readBack(std::u16string_view text) {
  return toUtf8(printLisp(readLisp(text)));
}

TEST(lisp_reader_test, reads_atoms_of_every_kind) {
  EXPECT_EQ(readLisp(u"42"), LispValue::integer(42));
  EXPECT_EQ(readLisp(u"-7"), LispValue::integer(-7));
  EXPECT_EQ(readLisp(u"+7"), LispValue::integer(7));
  EXPECT_EQ(readLisp(u"2.5"), LispValue::real(2.5));
  EXPECT_EQ(readLisp(u".5"), LispValue::real(0.5));
  EXPECT_EQ(readLisp(u"1."), LispValue::real(1.0));
  EXPECT_EQ(readLisp(u"1e3"), LispValue::real(1000.0));
  EXPECT_EQ(readLisp(u"abc"), LispValue::symbol(u"ABC"));
  EXPECT_EQ(readLisp(u"C:KavelmorList"), LispValue::symbol(u"C:KAVELMORLIST"));
  EXPECT_EQ(readLisp(u"1+"), LispValue::symbol(u"1+"));
  EXPECT_EQ(readLisp(u"-"), LispValue::symbol(u"-"));
  EXPECT_TRUE(readLisp(u"nil").isNil());
  EXPECT_TRUE(readLisp(u"()").isNil());
  EXPECT_TRUE(readLisp(u"t").isT());
}

TEST(lisp_reader_test, integers_beyond_32_bits_read_as_reals) {
  EXPECT_EQ(readLisp(u"2147483647"), LispValue::integer(2147483647));
  EXPECT_EQ(readLisp(u"2147483648"), LispValue::real(2147483648.0));
}

TEST(lisp_reader_test, strings_keep_their_escapes_meaning) {
  EXPECT_EQ(readLisp(uR"("a\"b\\c\nd\te")"), LispValue::string(u"a\"b\\c\nd\te"));
  EXPECT_EQ(readLisp(u"\"(lstdang gong jkdag)\""), LispValue::string(u"(lstdang gong jkdag)"));
  EXPECT_EQ(readLisp(u"\"清单\""), LispValue::string(u"清单"));
}

TEST(lisp_reader_test, reads_lists_quotes_and_comments) {
  EXPECT_EQ(readBack(u"(+ 1 (* 2 3))"), "(+ 1 (* 2 3))");
  EXPECT_EQ(readBack(u"'x"), "(QUOTE X)");
  EXPECT_EQ(readBack(u"(vl-doc-set'jl\"ssadd\")"), "(VL-DOC-SET (QUOTE JL) \"ssadd\")");
  EXPECT_EQ(readBack(u"; note\n(a ;| block |; b) ; tail"), "(A B)");
  EXPECT_EQ(readBack(u"(1 . 2)"), "(1 . 2)");
  EXPECT_EQ(readBack(u"(a 1.5)"), "(A 1.5)");
}

TEST(lisp_reader_test, only_the_first_expression_is_read) {
  EXPECT_EQ(readBack(u"(+ 1 2)(+ 3 4)"), "(+ 1 2)");
  EXPECT_EQ(readBack(u"(+ 1 2))"), "(+ 1 2)");
  EXPECT_EQ(readBack(u"a b"), "A");
}

TEST(lisp_reader_test, malformed_texts_fail) {
  for (const char16_t* text : {u"", u"   ", u"(+ 1 2", u")", u"\"open", u"(a . )", u"( . a)", u"'",
                               u"; only a comment", u"(a ;| never closed"}) {
    EXPECT_LISP_ERROR(readLisp(text), "malformed list on input");
  }
}

TEST(lisp_reader_test, deep_nesting_and_huge_texts_fail_cleanly) {
  const std::u16string deep(100000, u'(');
  EXPECT_LISP_ERROR(readLisp(deep + u"1" + std::u16string(100000, u')')),
                    "internal stack limit reached");
  EXPECT_LISP_ERROR(readLisp(std::u16string(2000, u'\'') + u"x"), "internal stack limit reached");
  EXPECT_LISP_ERROR(readLisp(std::u16string(kMaxLispTextLength + 1, u' ')), "input too long");
}

// Random texts over the reader's special characters either read or fail with error 5.
TEST(lisp_reader_test, arbitrary_texts_never_break_the_reader) {
  const std::u16string alphabet = u"()'\";|.\\ \nab1-e清";
  std::mt19937 random(12345);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 5000; ++round) {
    std::u16string text;
    for (int i = length(random); i > 0; --i) {
      text += alphabet[pick(random)];
    }
    try {
      (void)printLisp(readLisp(text));
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), 5) << toUtf8(text);
    }
  }
}

}  // namespace
}  // namespace kvm::sim
