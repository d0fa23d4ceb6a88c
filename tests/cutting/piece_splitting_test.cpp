#include "cutting/piece_splitting.h"

#include <gtest/gtest.h>

#include "base/runtime_error.h"

namespace kvm {
namespace {

constexpr CuttingAttributes kUsual{4000, 100, 100};

Variant lengths(const std::vector<double>& values) {
  return Variant::doubles(values);
}

Variant pairOf(Variant length, Variant count) {
  return Variant::array(VarType::Variant, {std::move(length), std::move(count)});
}

int32_t errorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(piece_splitting_test, equal_pieces_keep_the_platform_roundings_apart) {
  // 10001 / 3 + 100 = 3433.67: rounds up; 3500.5 as a whole line rounds to even.
  EXPECT_EQ(splitEqualPieces({4000, 0, 100}, lengths({10001}), 1), pairOf(3434, 3));
  EXPECT_EQ(splitEqualPieces(kUsual, lengths({3500.5}), 1), pairOf(3500, 1));
  EXPECT_EQ(splitEqualPieces(kUsual, lengths({3501.5}), 1), pairOf(3502, 1));
  // A run of exactly two shares: 7800 / 2 + 100, and 7800.9 needs a third piece.
  EXPECT_EQ(splitEqualPieces(kUsual, lengths({7800}), 0), pairOf(4000, 2));
  EXPECT_EQ(splitEqualPieces(kUsual, lengths({7800.9}), 0), pairOf(2700, 3));
  // 5851 / 2 + 100 = 3025.5: Round0 takes the half away from zero.
  EXPECT_EQ(splitEqualPieces({4000, 0, 100}, lengths({5851}), 0), pairOf(3026, 2));
}

TEST(piece_splitting_test, counts_that_do_not_fit_a_long_fail) {
  std::vector<Variant> many(70000, Variant(3.0e9));
  const Variant huge = Variant::array(VarType::Variant, many);
  EXPECT_EQ(errorNumberOf([&] { (void)splitEqualPieces(kUsual, huge, 1); }), err::kOverflow);
  EXPECT_EQ(errorNumberOf([&] { (void)splitEqualPieces(kUsual, lengths({1e300}), 0); }),
            err::kOverflow);
}

TEST(piece_splitting_test, a_share_of_zero_fails_only_where_a_split_is_needed) {
  const CuttingAttributes noShare{300, 0, 300};
  EXPECT_NE(errorNumberOf([&] { (void)splitEqualPieces(noShare, lengths({500}), 1); }), 0);
  EXPECT_EQ(splitEqualPieces(noShare, lengths({200}), 1), pairOf(200, 1));
  EXPECT_EQ(splitByMode(noShare, lengths({200}), 200, 2), pairOf(200, 1.0));
  EXPECT_NE(errorNumberOf([&] { (void)splitByMode(noShare, lengths({500}), 500, 1); }), 0);
}

TEST(piece_splitting_test, mode_results_carry_a_long_length_and_a_double_count) {
  EXPECT_EQ(splitByMode(kUsual, lengths({9000}), 9000, 1), pairOf(4000, 2.3));
  EXPECT_EQ(splitByMode(kUsual, lengths({1}), 1, 9), pairOf(0, 0.0));
  // Mode 2 never reads the lines, so it works without them.
  EXPECT_EQ(splitByMode(kUsual, Variant(), 3999.5, 2), pairOf(4000, 1.0));
}

TEST(piece_splitting_test, the_share_is_computed_in_16_bits) {
  EXPECT_EQ(errorNumberOf([&] {
              (void)splitEqualPieces({-32768, 0, 1}, lengths({5}), 0);
            }),
            err::kOverflow);
}

}  // namespace
}  // namespace kvm
