#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

#include "base/runtime_error.h"
#include "expect_error.h"

namespace kvm {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(numbers_test, format_fixed_rounds_halves_away_from_zero) {
  EXPECT_EQ(formatFixed(2.5, 0), u"3");
  EXPECT_EQ(formatFixed(-2.5, 0), u"-3");
  EXPECT_EQ(formatFixed(3.5, 0), u"4");
  EXPECT_EQ(formatFixed(0.5, 0), u"1");
  EXPECT_EQ(formatFixed(2500.5, 0), u"2501");
  EXPECT_EQ(formatFixed(0.125, 2), u"0.13");
  EXPECT_EQ(formatFixed(-0.125, 2), u"-0.13");
  EXPECT_EQ(formatFixed(0.0005, 3), u"0.001");
  EXPECT_EQ(formatFixed(999.5, 0), u"1000");
  EXPECT_EQ(formatFixed(9.9995, 3), u"10.000");
  EXPECT_EQ(formatFixed(2.4999, 0), u"2");
}

TEST(numbers_test, format_fixed_rounds_the_fifteen_digit_form_not_the_binary_value) {
  // Each of these lies just below the half in binary.
  EXPECT_EQ(formatFixed(1.005, 2), u"1.01");
  EXPECT_EQ(formatFixed(2.675, 2), u"2.68");
  EXPECT_EQ(formatFixed(4.35, 1), u"4.4");
  EXPECT_EQ(formatFixed(0.45, 1), u"0.5");
  EXPECT_EQ(formatFixed(1.0005, 3), u"1.001");
  EXPECT_EQ(formatFixed(0.1 + 0.2, 3), u"0.300");
  // Digits past the fifteenth never take part.
  EXPECT_EQ(formatFixed(0.49999999999999994, 0), u"1");
  EXPECT_EQ(formatFixed(123456789.123456789, 3), u"123456789.123");
}

TEST(numbers_test, format_fixed_pads_and_keeps_minus_zero_like_the_platform) {
  EXPECT_EQ(formatFixed(0, 2), u"0.00");
  EXPECT_EQ(formatFixed(7, 3), u"7.000");
  EXPECT_EQ(formatFixed(-0.4, 0), u"-0");
  EXPECT_EQ(formatFixed(-0.00049, 3), u"-0.000");
  EXPECT_EQ(formatFixed(0.4, 0), u"0");
  EXPECT_EQ(formatFixed(-0.0, 0), u"0");
  EXPECT_EQ(formatFixed(1e-300, 2), u"0.00");
  EXPECT_EQ(formatFixed(5e-324, 0), u"0");
  EXPECT_EQ(formatFixed(0.05, 1), u"0.1");
  EXPECT_EQ(formatFixed(0.04, 1), u"0.0");
}

TEST(numbers_test, format_fixed_never_uses_exponents) {
  EXPECT_EQ(formatFixed(1e20, 0), u"100000000000000000000");
  EXPECT_EQ(formatFixed(1.5e20, 1), u"150000000000000000000.0");
  EXPECT_EQ(formatFixed(123456789012345678.0, 0), u"123456789012346000");
  EXPECT_EQ(formatFixed(-1e15, 0), u"-1000000000000000");
  EXPECT_EQ(formatFixed(DBL_MAX, 0).size(), 309U);
}

TEST(numbers_test, format_fixed_survives_values_the_platform_never_formats) {
  EXPECT_EQ(formatFixed(kNaN, 1), u"NaN");
  EXPECT_EQ(formatFixed(kInf, 1), u"Infinity");
  EXPECT_EQ(formatFixed(-kInf, 0), u"-Infinity");
  EXPECT_EQ(formatFixed(2.5, -3), u"3");
}

TEST(numbers_test, format_up_to_drops_trailing_zeros_and_bare_point) {
  EXPECT_EQ(formatUpTo(0.5, 3), u"0.5");
  EXPECT_EQ(formatUpTo(0.50, 2), u"0.5");
  EXPECT_EQ(formatUpTo(2, 3), u"2");
  EXPECT_EQ(formatUpTo(0.1235, 3), u"0.124");
  EXPECT_EQ(formatUpTo(-1.0001, 3), u"-1");
  EXPECT_EQ(formatUpTo(-0.0001, 3), u"-0");
  EXPECT_EQ(formatUpTo(1234.5, 0), u"1235");
  EXPECT_EQ(formatUpTo(100, 2), u"100");
  EXPECT_EQ(formatUpTo(1.005, 2), u"1.01");
  EXPECT_EQ(formatUpTo(0, 3), u"0");
}

TEST(numbers_test, round_pattern_reads_the_formatted_text_back) {
  EXPECT_EQ(roundPattern(2.5, 0), 3.0);
  EXPECT_EQ(roundPattern(-2.5, 0), -3.0);
  EXPECT_EQ(roundPattern(2500.5, 0), 2501.0);
  EXPECT_EQ(roundPattern(2.45, 1), 2.5);
  EXPECT_EQ(roundPattern(9000.0 / 3900.0, 1), 2.3);
  EXPECT_EQ(roundPattern(1.005, 2), 1.01);
  const double minusZero = roundPattern(-0.4, 0);
  EXPECT_EQ(minusZero, 0.0);
  EXPECT_FALSE(std::signbit(minusZero));
}

TEST(numbers_test, integer_conversions_round_halves_to_even) {
  EXPECT_EQ(toIntegerRounded(2.5), 2);
  EXPECT_EQ(toIntegerRounded(3.5), 4);
  EXPECT_EQ(toIntegerRounded(-2.5), -2);
  EXPECT_EQ(toIntegerRounded(-3.5), -4);
  EXPECT_EQ(toIntegerRounded(2.5000001), 3);
  EXPECT_EQ(toIntegerRounded(-0.4), 0);
  EXPECT_EQ(toLongRounded(2500.5), 2500);
  EXPECT_EQ(toLongRounded(3500.4), 3500);
  EXPECT_EQ(toByteRounded(0.5), 0);
  EXPECT_EQ(toByteRounded(1.5), 2);
  EXPECT_EQ(toByteRounded(-0.5), 0);
}

TEST(numbers_test, integer_range_is_checked_after_rounding) {
  EXPECT_EQ(toIntegerRounded(32767.4), 32767);
  EXPECT_EQ(toIntegerRounded(32766.5), 32766);
  EXPECT_RUNTIME_ERROR(toIntegerRounded(32767.5), err::kOverflow);
  EXPECT_EQ(toIntegerRounded(-32768.5), -32768);
  EXPECT_RUNTIME_ERROR(toIntegerRounded(-32768.6), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toIntegerRounded(40000), err::kOverflow);

  EXPECT_EQ(toLongRounded(2147483646.5), 2147483646);
  EXPECT_RUNTIME_ERROR(toLongRounded(2147483647.5), err::kOverflow);
  EXPECT_EQ(toLongRounded(-2147483648.5), std::numeric_limits<int32_t>::min());
  EXPECT_RUNTIME_ERROR(toLongRounded(-2147483649.0), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toLongRounded(1e300), err::kOverflow);

  EXPECT_EQ(toByteRounded(254.5), 254);
  EXPECT_EQ(toByteRounded(255.4), 255);
  EXPECT_RUNTIME_ERROR(toByteRounded(255.5), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toByteRounded(-0.6), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toByteRounded(-1), err::kOverflow);
}

TEST(numbers_test, integer_conversions_of_non_finite_values_overflow) {
  for (const double value : {kNaN, kInf, -kInf}) {
    EXPECT_RUNTIME_ERROR(toIntegerRounded(value), err::kOverflow);
    EXPECT_RUNTIME_ERROR(toLongRounded(value), err::kOverflow);
    EXPECT_RUNTIME_ERROR(toByteRounded(value), err::kOverflow);
  }
}

TEST(numbers_test, integer_division_truncates_after_rounding_operands) {
  EXPECT_EQ(integerDivide(7, 2), 3);
  EXPECT_EQ(integerDivide(-7, 2), -3);
  EXPECT_EQ(integerDivide(7, -2), -3);
  EXPECT_EQ(integerDivide(13, 10), 1);
  EXPECT_EQ(integerDivide(2.5, 1), 2);  // 2.5 rounds to 2 first
  EXPECT_EQ(integerDivide(3.5, 1), 4);  // 3.5 rounds to 4 first
  EXPECT_EQ(integerDivide(9, 2.5), 4);  // divisor 2
  EXPECT_EQ(integerDivide(2147483647, 1), 2147483647);
  EXPECT_RUNTIME_ERROR(integerDivide(7, 0), err::kDivisionByZero);
  EXPECT_RUNTIME_ERROR(integerDivide(7, 0.5), err::kDivisionByZero);
  EXPECT_RUNTIME_ERROR(integerDivide(-2147483648.0, -1), err::kOverflow);
  EXPECT_RUNTIME_ERROR(integerDivide(2147483648.0, 1), err::kOverflow);
  EXPECT_RUNTIME_ERROR(integerDivide(kNaN, 1), err::kOverflow);
}

TEST(numbers_test, modulo_takes_the_dividends_sign) {
  EXPECT_EQ(integerModulo(7, 3), 1);
  EXPECT_EQ(integerModulo(-7, 3), -1);
  EXPECT_EQ(integerModulo(7, -3), 1);
  EXPECT_EQ(integerModulo(25, 10), 5);
  EXPECT_EQ(integerModulo(5.5, 2), 0);  // 6 Mod 2
  EXPECT_EQ(integerModulo(-2147483648.0, -1), 0);
  EXPECT_RUNTIME_ERROR(integerModulo(7, 0.4), err::kDivisionByZero);
  EXPECT_RUNTIME_ERROR(integerModulo(1e10, 3), err::kOverflow);
}

TEST(numbers_test, general_text_of_doubles) {
  EXPECT_EQ(generalText(0.0), u"0");
  EXPECT_EQ(generalText(-0.0), u"0");
  EXPECT_EQ(generalText(1.0), u"1");
  EXPECT_EQ(generalText(-1.5), u"-1.5");
  EXPECT_EQ(generalText(2650.0), u"2650");
  EXPECT_EQ(generalText(0.1 + 0.2), u"0.3");
  EXPECT_EQ(generalText(1.0 / 3.0), u"0.333333333333333");
  EXPECT_EQ(generalText(2.0 / 3.0), u"0.666666666666667");
  EXPECT_EQ(generalText(-1234.5678), u"-1234.5678");
}

TEST(numbers_test, general_text_switches_to_exponents_outside_the_plain_range) {
  EXPECT_EQ(generalText(0.0001), u"0.0001");
  EXPECT_EQ(generalText(0.000123), u"0.000123");
  EXPECT_EQ(generalText(0.00001), u"1E-05");
  EXPECT_EQ(generalText(0.0000123), u"1.23E-05");
  EXPECT_EQ(generalText(-0.00001), u"-1E-05");
  EXPECT_EQ(generalText(123456789012345.0), u"123456789012345");
  EXPECT_EQ(generalText(999999999999999.0), u"999999999999999");
  EXPECT_EQ(generalText(1e15), u"1E+15");
  EXPECT_EQ(generalText(9999999999999999.0), u"1E+16");  // rounds up to 16 digits
  EXPECT_EQ(generalText(1.5e20), u"1.5E+20");
  EXPECT_EQ(generalText(123456789012345678.0), u"1.23456789012346E+17");
  EXPECT_EQ(generalText(1e100), u"1E+100");
  EXPECT_EQ(generalText(1e-100), u"1E-100");
  EXPECT_EQ(generalText(DBL_MAX), u"1.79769313486232E+308");
  EXPECT_EQ(generalText(5e-324), u"4.94065645841247E-324");
  // Rounding to 15 digits carries into the plain range.
  EXPECT_EQ(generalText(0.0000999999999999999999), u"0.0001");
}

TEST(numbers_test, general_text_of_singles_keeps_seven_digits) {
  EXPECT_EQ(generalText(0.8F), u"0.8");
  EXPECT_EQ(generalText(1.1F), u"1.1");
  EXPECT_EQ(generalText(0.1F), u"0.1");
  EXPECT_EQ(generalText(-2.5F), u"-2.5");
  EXPECT_EQ(generalText(1.0F / 3.0F), u"0.3333333");
  EXPECT_EQ(generalText(1234567.0F), u"1234567");
  EXPECT_EQ(generalText(12345678.0F), u"1.234568E+07");
  EXPECT_EQ(generalText(16777216.0F), u"1.677722E+07");
  EXPECT_EQ(generalText(1e-5F), u"1E-05");
  EXPECT_EQ(generalText(FLT_MAX), u"3.402823E+38");
  EXPECT_EQ(generalText(-0.0F), u"0");
}

TEST(numbers_test, general_text_of_non_finite_values) {
  EXPECT_EQ(generalText(kNaN), u"NaN");
  EXPECT_EQ(generalText(kInf), u"Infinity");
  EXPECT_EQ(generalText(-kInf), u"-Infinity");
  EXPECT_EQ(generalText(std::numeric_limits<float>::infinity()), u"Infinity");
}

TEST(numbers_test, leading_number_reads_as_far_as_it_can) {
  EXPECT_EQ(leadingNumber(u"1:10"), 1);
  EXPECT_EQ(leadingNumber(u"12abc"), 12);
  EXPECT_EQ(leadingNumber(u"1.2.3"), 1.2);
  EXPECT_EQ(leadingNumber(u"1,000"), 1);
  EXPECT_EQ(leadingNumber(u"-1.5"), -1.5);
  EXPECT_EQ(leadingNumber(u"+3"), 3);
  EXPECT_EQ(leadingNumber(u".5"), 0.5);
  EXPECT_EQ(leadingNumber(u"5."), 5);
  EXPECT_EQ(leadingNumber(u"0x10"), 0);
  EXPECT_EQ(leadingNumber(u"3500.4"), 3500.4);
}

TEST(numbers_test, leading_number_skips_blanks_anywhere) {
  EXPECT_EQ(leadingNumber(u" 12 34"), 1234);
  EXPECT_EQ(leadingNumber(u"\t\r\n7"), 7);
  EXPECT_EQ(leadingNumber(u"- 1 . 5"), -1.5);
  EXPECT_EQ(leadingNumber(u"1 e 2"), 100);
  EXPECT_EQ(leadingNumber(u"\u30001"), 0);  // an ideographic space is not a blank
}

TEST(numbers_test, leading_number_is_zero_without_a_number) {
  for (const std::u16string_view text :
       {u"", u" ", u"abc", u".", u"-", u"+", u"-.", u"e5", u"&H", u"&Oz", u"\uFF11"}) {
    EXPECT_EQ(leadingNumber(text), 0) << std::string(text.begin(), text.end());
  }
}

TEST(numbers_test, leading_number_reads_exponents) {
  EXPECT_EQ(leadingNumber(u"1e3x"), 1000);
  EXPECT_EQ(leadingNumber(u"1E+3"), 1000);
  EXPECT_EQ(leadingNumber(u"2E-2"), 0.02);
  EXPECT_EQ(leadingNumber(u"1D2"), 100);
  EXPECT_EQ(leadingNumber(u"1.e2"), 100);
  EXPECT_EQ(leadingNumber(u"1e"), 1);
  EXPECT_EQ(leadingNumber(u"1e+"), 1);
  EXPECT_EQ(leadingNumber(u"1ex"), 1);
}

TEST(numbers_test, leading_number_survives_huge_and_tiny_numbers) {
  EXPECT_EQ(leadingNumber(u"1e400"), kInf);
  EXPECT_EQ(leadingNumber(u"-1e400"), -kInf);
  EXPECT_EQ(leadingNumber(u"1e-400"), 0);
  EXPECT_EQ(leadingNumber(u"0e99999999999999999999"), 0);
  EXPECT_EQ(leadingNumber(u"1e-99999999999999999999"), 0);
  EXPECT_EQ(leadingNumber(std::u16string(400, u'9')), kInf);
  EXPECT_EQ(leadingNumber(u"0." + std::u16string(400, u'0') + u"1"), 0);
  EXPECT_EQ(leadingNumber(std::u16string(400, u'0') + u"1.5"), 1.5);
  EXPECT_EQ(leadingNumber(u"123456789012345678901234567890"), 123456789012345678901234567890.0);
}

TEST(numbers_test, leading_number_reads_hex_and_octal_as_integers) {
  EXPECT_EQ(leadingNumber(u"&HFF"), 255);
  EXPECT_EQ(leadingNumber(u"&hff"), 255);
  EXPECT_EQ(leadingNumber(u"&HFFFF"), -1);  // 16 bits are an Integer
  EXPECT_EQ(leadingNumber(u"&H8000"), -32768);
  EXPECT_EQ(leadingNumber(u"&H10000"), 65536);
  EXPECT_EQ(leadingNumber(u"&HFFFFFFFF"), -1);  // 32 bits are a Long
  EXPECT_EQ(leadingNumber(u"&H1G"), 1);
  EXPECT_EQ(leadingNumber(u"&HFFFF&"), 65535);  // a trailing "&" asks for a Long
  EXPECT_EQ(leadingNumber(u"&HFFFFFFFF&"), -1);
  EXPECT_EQ(leadingNumber(u"&O17"), 15);
  EXPECT_EQ(leadingNumber(u"&O177777"), -1);
  EXPECT_EQ(leadingNumber(u"&O178"), 15);
  EXPECT_EQ(leadingNumber(u"& H 1 F"), 31);
  EXPECT_DOUBLE_EQ(leadingNumber(u"&H" + std::u16string(40, u'F')), std::pow(16.0, 40));
}

TEST(numbers_test, parse_number_accepts_whole_numbers_only) {
  const std::pair<std::u16string_view, double> cases[] = {
      {u" 12 ", 12},  {u"-1.5", -1.5},     {u"+2", 2},   {u"2.5", 2.5},
      {u"1e3", 1000}, {u"1E-2", 0.01},     {u"1.", 1},   {u".5", 0.5},
      {u"&H10", 16},  {u"&HFFFF&", 65535}, {u"\t5\n", 5}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseNumber(text), expected) << std::string(text.begin(), text.end());
  }
}

TEST(numbers_test, parse_number_rejects_anything_else) {
  for (const std::u16string_view text : {u"", u" ", u"abc", u"12abc", u"1 2", u"1D2", u".", u"-",
                                         u"&H", u"1e", u"1e+", u"1:10", u"--1", u"1.2.3"}) {
    EXPECT_FALSE(parseNumber(text)) << std::string(text.begin(), text.end());
  }
}

}  // namespace
}  // namespace kvm
