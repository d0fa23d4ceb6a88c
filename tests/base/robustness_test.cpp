// Arbitrary input through every reader of the base library: nothing may crash or read out of
// bounds (the sanitizer build watches), and the readers must agree with the writers.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "base/codepage.h"
#include "base/numbers.h"
#include "base/text.h"

namespace kvm {
namespace {

constexpr int kRounds = 20000;

std::string randomBytes(std::mt19937& rng) {
  std::string bytes(rng() % 12, '\0');
  for (auto& byte : bytes) {
    byte = static_cast<char>(rng() & 0xFF);
  }
  return bytes;
}

std::u16string randomNumberish(std::mt19937& rng) {
  static constexpr std::u16string_view kAlphabet = u"0123456789.+-eEdDhHoO& \t\r\nxF\u4E2D";
  std::u16string text(rng() % 16, u' ');
  for (auto& c : text) {
    c = kAlphabet[rng() % kAlphabet.size()];
  }
  return text;
}

TEST(robustness_test, random_bytes_decode_and_encode_safely) {
  std::mt19937 rng(1);
  for (int i = 0; i < kRounds; ++i) {
    const std::string bytes = randomBytes(rng);
    const std::u16string fromUtf = fromUtf8(bytes);
    const std::u16string fromCodePage = fromGbk(bytes);
    EXPECT_LE(fromUtf.size(), bytes.size());
    EXPECT_LE(fromCodePage.size(), bytes.size());
    // What was decoded encodes back to bytes that decode to the same text.
    EXPECT_EQ(fromUtf8(toUtf8(fromUtf)), fromUtf);
    EXPECT_EQ(toGbk(fromCodePage).size(), gbkByteLength(fromCodePage));
    EXPECT_EQ(collateCompare(fromCodePage, fromCodePage), 0);
  }
}

TEST(robustness_test, random_number_texts_read_safely_and_consistently) {
  std::mt19937 rng(2);
  for (int i = 0; i < kRounds; ++i) {
    const std::u16string text = randomNumberish(rng);
    const double leading = leadingNumber(text);
    const std::optional<double> whole = parseNumber(text);
    if (whole && std::isfinite(*whole) && text.find(u'&') == text.npos) {
      // A text that is wholly a number has that number as its leading number.
      EXPECT_EQ(leading, *whole) << toUtf8(text);
    }
  }
}

TEST(robustness_test, general_text_reads_back_as_the_fifteen_digit_value) {
  std::mt19937_64 rng(3);
  for (int i = 0; i < kRounds; ++i) {
    const double value = std::bit_cast<double>(rng());
    if (!std::isfinite(value)) {
      continue;
    }
    const std::optional<double> parsed = parseNumber(generalText(value));
    ASSERT_TRUE(parsed) << toUtf8(generalText(value));
    const double back = *parsed;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.14e", value);
    double rounded = 0;
    std::sscanf(expected, "%lf", &rounded);
    EXPECT_EQ(back, rounded) << expected;
  }
}

}  // namespace
}  // namespace kvm
