#include "base/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "base/runtime_error.h"

namespace kvm {

namespace {

// A finite value as the platform sees it before formatting: its decimal digits (no leading
// zeros unless the value is zero) and the position of the decimal point counted from the
// first digit.
struct DecimalForm {
  bool negative = false;
  std::string digits;
  int pointPosition = 0;
};

DecimalForm decimalForm(double value, int significantDigits) {
  // "%.*e" gives exactly significantDigits digits, already rounded by the C library. Only
  // digits are taken from the mantissa, whatever decimal point the C locale uses.
  std::array<char, 64> buffer{};
  const int length =
      std::snprintf(buffer.data(), buffer.size(), "%.*e", significantDigits - 1, std::fabs(value));
  const std::string_view text(buffer.data(), static_cast<size_t>(length));
  DecimalForm form;
  form.negative = std::signbit(value);
  const auto e = text.find('e');
  for (const char c : text.substr(0, e)) {
    if (c >= '0' && c <= '9') {
      form.digits.push_back(c);
    }
  }
  int exponent = 0;
  const auto exponentText = text.substr(e + 1);
  const char* first = exponentText.data();
  if (*first == '+') {
    ++first;
  }
  std::from_chars(first, exponentText.data() + exponentText.size(), exponent);
  form.pointPosition = exponent + 1;
  return form;
}

std::u16string widen(std::string_view text) {
  return {text.begin(), text.end()};
}

std::u16string nonFiniteText(double value) {
  if (std::isnan(value)) {
    return u"NaN";
  }
  return value < 0 ? u"-Infinity" : u"Infinity";
}

// The value's 15-digit form rounded to `decimals` places, halves away from zero, as plain
// digits with `decimals` digits after the point.
std::string roundedFixed(double value, int decimals) {
  const DecimalForm form = decimalForm(value, 15);
  const int kept = form.pointPosition + decimals;  // digits that survive the rounding
  std::string digits;
  if (kept >= 0) {
    digits = form.digits.substr(0, static_cast<size_t>(std::min<int>(kept, 15)));
    digits.append(static_cast<size_t>(std::max(0, kept - 15)), '0');
    if (kept < 15 && form.digits[static_cast<size_t>(kept)] >= '5') {
      size_t i = digits.size();
      while (i > 0 && digits[i - 1] == '9') {
        digits[--i] = '0';
      }
      if (i == 0) {
        digits.insert(digits.begin(), '1');
      } else {
        ++digits[i - 1];
      }
    }
  }
  // digits now hold the rounded value times 10^decimals.
  const auto fraction = static_cast<size_t>(decimals);
  if (digits.size() <= fraction) {
    digits.insert(0, fraction + 1 - digits.size(), '0');
  }
  std::string out;
  if (form.negative && value != 0) {
    out.push_back('-');
  }
  out.append(digits, 0, digits.size() - fraction);
  if (fraction > 0) {
    out.push_back('.');
    out.append(digits, digits.size() - fraction);
  }
  return out;
}

int clampDecimals(int decimals) {
  return std::clamp(decimals, 0, 15);
}

template <class T>
T roundedToEven(double value) {
  // nearbyint rounds halves to even in the default rounding mode, which nothing changes.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<T>::max()))) {
    raise(err::kOverflow);
  }
  return static_cast<T>(rounded);
}

std::u16string generalTextOf(double value, int significantDigits) {
  if (!std::isfinite(value)) {
    return nonFiniteText(value);
  }
  if (value == 0) {
    return u"0";
  }
  DecimalForm form = decimalForm(value, significantDigits);
  while (form.digits.size() > 1 && form.digits.back() == '0') {
    form.digits.pop_back();
  }
  const int exponent = form.pointPosition - 1;
  const auto count = static_cast<int>(form.digits.size());
  std::string out = form.negative ? "-" : "";
  // Plain from 0.0001 up to as many whole digits as the type keeps; "1E-05" below that.
  if (exponent >= -4 && exponent < significantDigits) {
    if (exponent < 0) {
      out += "0.";
      const int leadingZeros = -exponent - 1;
      out.append(static_cast<size_t>(leadingZeros), '0');
      out += form.digits;
    } else if (count <= exponent + 1) {
      out += form.digits;
      const int trailingZeros = exponent + 1 - count;
      out.append(static_cast<size_t>(trailingZeros), '0');
    } else {
      const int wholeDigits = exponent + 1;
      out.append(form.digits, 0, static_cast<size_t>(wholeDigits));
      out.push_back('.');
      out.append(form.digits, static_cast<size_t>(wholeDigits));
    }
  } else {
    out.push_back(form.digits[0]);
    if (count > 1) {
      out.push_back('.');
      out.append(form.digits, 1);
    }
    const int magnitude = std::abs(exponent);
    out += exponent < 0 ? "E-" : "E+";
    if (magnitude < 10) {
      out.push_back('0');
    }
    out += std::to_string(magnitude);
  }
  return widen(out);
}

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool isDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

int hexDigit(char16_t c) {
  if (isDigit(c)) {
    return c - u'0';
  }
  if (c >= u'a' && c <= u'f') {
    return c - u'a' + 10;
  }
  if (c >= u'A' && c <= u'F') {
    return c - u'A' + 10;
  }
  return -1;
}

// A text scanned for a number, blanks already removed where the caller wants that.
class NumberScanner {
 public:
  explicit NumberScanner(std::u16string_view text) : text_(text) {}

  [[nodiscard]] size_t position() const { return at_; }

  // "&H" / "&O" numbers: up to 16 bits they are Integers and up to 32 bits Longs, so
  // "&HFFFF" is -1 as on the platform.
  bool radixNumber(double& out) {
    if (at_ + 1 >= text_.size() || text_[at_] != u'&') {
      return false;
    }
    const char16_t kind = text_[at_ + 1];
    int base = 0;
    if (kind == u'H' || kind == u'h') {
      base = 16;
    } else if (kind == u'O' || kind == u'o') {
      base = 8;
    } else {
      return false;
    }
    const size_t start = at_;
    at_ += 2;
    uint64_t value = 0;
    bool tooBig = false;
    double big = 0;
    while (at_ < text_.size()) {
      const int digit = hexDigit(text_[at_]);
      if (digit < 0 || digit >= base) {
        break;
      }
      big = big * base + digit;
      if (value > (std::numeric_limits<uint64_t>::max() >> 4)) {
        tooBig = true;
      } else {
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
      }
      ++at_;
    }
    if (at_ == start + 2) {
      at_ = start;
      return false;
    }
    // A trailing "&" makes it a Long: "&HFFFF&" is 65535.
    const bool asLong = at_ < text_.size() && text_[at_] == u'&';
    if (asLong) {
      ++at_;
    }
    if (tooBig || value > 0xFFFFFFFFU) {
      out = big;
    } else if (value <= 0xFFFFU && !asLong) {
      out = static_cast<int16_t>(static_cast<uint16_t>(value));
    } else {
      out = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    return true;
  }

  // Sign, digits, one point, an exponent with E (or D where allowed). False when there are
  // no digits at all; the position then stays where it was.
  bool decimalNumber(bool allowD, double& out) {
    const size_t start = at_;
    std::string mantissa;
    if (at_ < text_.size() && (text_[at_] == u'+' || text_[at_] == u'-')) {
      if (text_[at_] == u'-') {
        mantissa.push_back('-');
      }
      ++at_;
    }
    int digitCount = 0;
    int magnitude = 0;  // decimal exponent of the first significant digit, roughly
    bool significant = false;
    bool point = false;
    while (at_ < text_.size()) {
      const char16_t c = text_[at_];
      if (isDigit(c)) {
        ++digitCount;
        if (c != u'0') {
          significant = true;
        }
        if (!point && significant) {
          ++magnitude;
        } else if (point && !significant) {
          --magnitude;
        }
        mantissa.push_back(static_cast<char>(c));
      } else if (c == u'.' && !point) {
        point = true;
        mantissa.push_back('.');
      } else {
        break;
      }
      ++at_;
    }
    if (digitCount == 0) {
      at_ = start;
      return false;
    }
    long exponent = 0;
    if (at_ < text_.size()) {
      const char16_t c = text_[at_];
      if (c == u'E' || c == u'e' || (allowD && (c == u'D' || c == u'd'))) {
        size_t k = at_ + 1;
        bool negativeExponent = false;
        if (k < text_.size() && (text_[k] == u'+' || text_[k] == u'-')) {
          negativeExponent = text_[k] == u'-';
          ++k;
        }
        if (k < text_.size() && isDigit(text_[k])) {
          while (k < text_.size() && isDigit(text_[k])) {
            // Saturates: far beyond any double's range either way.
            exponent = std::min(exponent * 10 + (text_[k] - u'0'), 100000L);
            ++k;
          }
          if (negativeExponent) {
            exponent = -exponent;
          }
          at_ = k;
        }
      }
    }
    std::string number = mantissa + "e" + std::to_string(exponent);
    const char* first = number.data();
    if (*first == '-') {
      ++first;
    }
    double value = 0;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
      value =
          significant && magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    out = mantissa.starts_with('-') ? -value : value;
    return true;
  }

 private:
  std::u16string_view text_;
  size_t at_ = 0;
};

}  // namespace

std::u16string formatFixed(double value, int decimals) {
  if (!std::isfinite(value)) {
    return nonFiniteText(value);
  }
  return widen(roundedFixed(value, clampDecimals(decimals)));
}

std::u16string formatUpTo(double value, int maxDecimals) {
  if (!std::isfinite(value)) {
    return nonFiniteText(value);
  }
  std::string text = roundedFixed(value, clampDecimals(maxDecimals));
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') {
      text.pop_back();
    }
    if (text.back() == '.') {
      text.pop_back();
    }
  }
  return widen(text);
}

double roundPattern(double value, int decimals) {
  if (!std::isfinite(value)) {
    return value;
  }
  const std::string text = roundedFixed(value, clampDecimals(decimals));
  const char* first = text.data();
  const bool negative = *first == '-';
  if (negative) {
    ++first;
  }
  double result = 0;
  std::from_chars(first, text.data() + text.size(), result);
  // "-0" reads back as an ordinary zero.
  return negative ? 0.0 - result : result;
}

int16_t toIntegerRounded(double value) {
  return roundedToEven<int16_t>(value);
}
int32_t toLongRounded(double value) {
  return roundedToEven<int32_t>(value);
}
uint8_t toByteRounded(double value) {
  return roundedToEven<uint8_t>(value);
}

int32_t integerDivide(double dividend, double divisor) {
  const int32_t a = toLongRounded(dividend);
  const int32_t b = toLongRounded(divisor);
  if (b == 0) {
    raise(err::kDivisionByZero);
  }
  if (a == std::numeric_limits<int32_t>::min() && b == -1) {
    raise(err::kOverflow);
  }
  return a / b;
}

int32_t integerModulo(double dividend, double divisor) {
  const int32_t a = toLongRounded(dividend);
  const int32_t b = toLongRounded(divisor);
  if (b == 0) {
    raise(err::kDivisionByZero);
  }
  if (b == -1) {
    return 0;  // also for the smallest Long, whose quotient would overflow
  }
  return a % b;
}

std::u16string generalText(double value) {
  return generalTextOf(value, 15);
}

std::u16string generalText(float value) {
  return generalTextOf(static_cast<double>(value), 7);
}

double leadingNumber(std::u16string_view text) {
  std::u16string compact;
  compact.reserve(text.size());
  for (const char16_t c : text) {
    if (!isBlank(c)) {
      compact.push_back(c);
    }
  }
  NumberScanner scanner(compact);
  double value = 0;
  if (scanner.radixNumber(value) || scanner.decimalNumber(true, value)) {
    return value;
  }
  return 0;
}

std::optional<double> parseNumber(std::u16string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && isBlank(text[first])) {
    ++first;
  }
  while (last > first && isBlank(text[last - 1])) {
    --last;
  }
  const std::u16string_view core = text.substr(first, last - first);
  NumberScanner scanner(core);
  double value = 0;
  if (!(scanner.radixNumber(value) || scanner.decimalNumber(false, value)) ||
      scanner.position() != core.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace kvm
