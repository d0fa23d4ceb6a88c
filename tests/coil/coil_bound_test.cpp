#include <gtest/gtest.h>

#include <vector>

#include "coil/capped_bound.h"
#include "coil/coil_order.h"
#include "coil/pattern_choice.h"

namespace kvm::coil {
namespace {

TEST(coil_bound_test, a_relaxed_sheet_cuts_no_more_of_a_size_than_is_wanted) {
  // Four rows of one width fit across; each row holds two pieces along. Wanted: three.
  const std::vector<int> widths{1};
  const std::vector<int> lengths{5};
  const std::vector<double> millimetres{500};
  const SizeGrid grid{widths, lengths, millimetres, 100.0, 4, 10};
  const std::vector<double> values{500};
  const CappedPrice price = priceCapped(grid, values, std::vector<int>{3});
  // Three pieces side by side on a sheet one piece long, not four rows of two.
  EXPECT_DOUBLE_EQ(price.steepest, 3);
  ASSERT_EQ(price.sheet.sizes.size(), 1U);
  EXPECT_EQ(price.sheet.sizes[0].second, 3);
  EXPECT_DOUBLE_EQ(price.sheet.length, 500);

  // Rows of one width together hold no more than fits one row each: pieces of 6 units on
  // rows of 10 go one to a row, although two rows together are 20 units long.
  const std::vector<int> longer{6};
  const std::vector<double> longerMillimetres{600};
  const SizeGrid oneEach{widths, longer, longerMillimetres, 100.0, 2, 10};
  const CappedPrice row = priceCapped(oneEach, values, std::vector<int>{5});
  EXPECT_DOUBLE_EQ(row.steepest, 2 * 500 / 600.0);
}

TEST(coil_bound_test, a_lone_wide_piece_is_bounded_by_its_whole_sheet) {
  // Two rows of 500 fit across the coil, but there is one piece: half a sheet is no plan.
  CoilGroup group;
  group.colour = "grey";
  group.coilWidth = 1000;
  group.pieces = {{"ridge", 500, 4000, 1}, {"eave", 300, 2000, 1}};
  const CoilPlan plan = planCoil(group);
  EXPECT_DOUBLE_EQ(plan.coilLength, 4000);
  EXPECT_GE(plan.lpBound, 4000 - 1e-6);
  EXPECT_LE(plan.lpBound, plan.coilLength + 1e-6);
  EXPECT_NEAR(plan.gapPercent, 0, 1e-9);
}

TEST(coil_bound_test, the_integer_choice_beats_a_plan_it_is_given) {
  // Two of each size: one sheet of each size twice is 40 m; the mixed sheet twice is 12 m.
  const std::vector<Column> pool{{10, {{0, 2}}, {}}, {10, {{1, 2}}, {}}, {6, {{0, 1}, {1, 1}}, {}}};
  const std::vector<int> times = choosePatterns(pool, {2, 2}, {1, 1, 0});
  ASSERT_EQ(times.size(), 3U);
  EXPECT_EQ(times[0], 0);
  EXPECT_EQ(times[1], 0);
  EXPECT_EQ(times[2], 2);
  EXPECT_TRUE(choosePatterns({}, {1}, {}).empty());
}

}  // namespace
}  // namespace kvm::coil
