#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvm {

// The platform's number rules. Two roundings live side by side and are not interchangeable:
// formatting with a pattern rounds halves away from zero, converting to an integer rounds
// halves to the even neighbour.

// Formats with the pattern "0", "0.0", "0.00" or "0.000" (decimals 0..3): the value's
// 15-significant-digit decimal form rounded to that many decimals, halves away from zero.
std::u16string formatFixed(double value, int decimals);

// Formats with "0.###"-style patterns: up to maxDecimals decimals, trailing zeros and a bare
// point dropped.
std::u16string formatUpTo(double value, int maxDecimals);

// Round0 and Round1 of the cutting rules: format with "0" / "0.0" and read the text back.
double roundPattern(double value, int decimals);

// Converting a real to an integer: halves to even; outside the type's range is error 6.
int16_t toIntegerRounded(double value);
int32_t toLongRounded(double value);
uint8_t toByteRounded(double value);

// Integer division "\" and Mod: operands rounded to Long first (halves to even), quotient
// truncated toward zero; a zero divisor is error 11.
int32_t integerDivide(double dividend, double divisor);
int32_t integerModulo(double dividend, double divisor);

// General number text: Single with up to 7 significant digits, Double with up to 15, no
// trailing zeros, "." as the decimal point, exponent form "1E+20" / "1E-05" where the
// platform uses it.
std::u16string generalText(double value);
std::u16string generalText(float value);

// The leading number of a text (blanks skipped, "&H" / "&O" prefixes, an exponent); 0 when
// there is none. Never fails.
double leadingNumber(std::u16string_view text);

// Reads a whole text as a number the way an implicit conversion from String does: leading
// and trailing blanks allowed, anything else makes it not numeric (nullopt).
std::optional<double> parseNumber(std::u16string_view text);

}  // namespace kvm
