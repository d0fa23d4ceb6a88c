#include "coil/coil_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <random>
#include <set>
#include <stdexcept>

#include "coil/pattern_order.h"
#include "coil/row_pricing.h"

namespace kvm {
namespace {

// Checks a plan from the cutting rules alone: every piece cut exactly once; each row of one
// width, its pieces end to end within the sheet; the rows plus the trim within the coil width;
// each sheet as long as its longest row and no longer than the longest sheet; totals agree.
void expectFeasible(const CoilGroup& group, const CoilPlan& plan) {
  std::vector<long> cut(group.pieces.size(), 0);
  double longestPiece = 0;
  for (const CoilPiece& piece : group.pieces) {
    if (piece.count > 0) longestPiece = std::max(longestPiece, piece.length);
  }
  const double maxSheet = group.maxSheet > 0 ? group.maxSheet : longestPiece;
  double coilLength = 0;
  double pieceArea = 0;
  long sheets = 0;
  for (const SheetPattern& pattern : plan.patterns) {
    ASSERT_GT(pattern.sheets, 0);
    ASSERT_FALSE(pattern.rows.empty());
    double width = 0;
    double longestRow = 0;
    for (const SheetRow& row : pattern.rows) {
      ASSERT_FALSE(row.pieces.empty());
      double used = 0;
      for (const RowPieces& pieces : row.pieces) {
        ASSERT_LT(pieces.piece, group.pieces.size());
        ASSERT_GT(pieces.count, 0);
        const CoilPiece& piece = group.pieces[pieces.piece];
        EXPECT_DOUBLE_EQ(piece.width, row.width) << piece.flashing;
        used += piece.length * pieces.count;
        pieceArea += piece.width * piece.length * pieces.count * pattern.sheets;
        cut[pieces.piece] += static_cast<long>(pieces.count) * pattern.sheets;
      }
      EXPECT_LE(used, pattern.length + 1e-9);
      longestRow = std::max(longestRow, used);
      width += row.width;
    }
    EXPECT_LE(width, group.coilWidth - group.trim + 1e-9);
    EXPECT_DOUBLE_EQ(pattern.length, longestRow);
    EXPECT_LE(pattern.length, maxSheet + 1e-9);
    coilLength += pattern.length * pattern.sheets;
    sheets += pattern.sheets;
  }
  for (std::size_t i = 0; i < group.pieces.size(); ++i) {
    EXPECT_EQ(cut[i], group.pieces[i].count) << group.pieces[i].flashing;
  }
  EXPECT_NEAR(plan.coilLength, coilLength, 1e-6 * (1 + coilLength));
  EXPECT_EQ(plan.sheets, sheets);
  EXPECT_NEAR(plan.piecesArea, pieceArea / 1e6, 1e-9 * (1 + pieceArea));
  EXPECT_NEAR(plan.coilArea, coilLength * group.coilWidth / 1e6, 1e-9 * (1 + coilLength));
  EXPECT_LE(plan.lpBound, plan.coilLength + 1e-6);
  if (!plan.patterns.empty()) {
    EXPECT_LE(plan.areaBound, plan.lpBound + 1e-6 * (1 + plan.lpBound));
  }
}

// The knives are set once per layout: its patterns come one after another, longest first.
void expectLayoutsTogether(const CoilGroup& group, const CoilPlan& plan) {
  std::set<std::pair<double, SheetLayout>> finished;
  for (std::size_t i = 0; i < plan.patterns.size(); ++i) {
    if (i > 0) {
      EXPECT_GE(plan.patterns[i - 1].length, plan.patterns[i].length);
    }
    const auto key = std::make_pair(plan.patterns[i].length, sheetLayout(group, plan.patterns[i]));
    EXPECT_FALSE(finished.contains(key)) << "pattern " << i << " apart from its layout";
    if (i + 1 == plan.patterns.size() ||
        std::make_pair(plan.patterns[i + 1].length, sheetLayout(group, plan.patterns[i + 1])) !=
            key) {
      finished.insert(key);
    }
  }
}

CoilGroup groupOf(std::vector<CoilPiece> pieces, double coilWidth = 1250, double trim = 0,
                  double maxSheet = 0) {
  return {"天蓝色", 0.5, coilWidth, trim, std::move(pieces), maxSheet};
}

double longestOf(const CoilGroup& group) {
  double longest = 0;
  for (const CoilPiece& piece : group.pieces) longest = std::max(longest, piece.length);
  return longest;
}

TEST(coil_order_test, small_orders_come_out_as_worked_by_hand) {
  struct Case {
    const char* what;
    CoilGroup group;
    double coilLength;
    int sheets;
  };
  const std::vector<Case> cases{
      {"two pieces side by side", groupOf({{"A", 600, 3000, 2}}), 3000, 1},
      {"the trim leaves 1240: 620 twice fits", groupOf({{"A", 620, 3000, 2}}, 1250, 10), 3000, 1},
      {"621 twice does not", groupOf({{"A", 621, 3000, 2}}, 1250, 10), 6000, 2},
      {"a short piece rides beside a long one", groupOf({{"A", 700, 4000, 1}, {"B", 500, 1000, 1}}),
       4000, 1},
      {"long rows with long, short with short", groupOf({{"A", 400, 5000, 3}, {"B", 400, 2000, 3}}),
       7000, 2},
      {"tenths of a millimetre nest exactly", groupOf({{"A", 624.5, 2000, 2}}, 1250, 1), 2000, 1},
      {"sizes with no pieces are left out", groupOf({{"A", 300, 2500, 4}, {"B", 300, 6000, 0}}),
       2500, 1},
      {"three widths fill the coil to the millimetre",
       groupOf({{"A", 500, 3000, 2}, {"B", 450, 3000, 2}, {"C", 300, 3000, 2}}), 6000, 2},
      {"a longer sheet takes pieces end to end", groupOf({{"A", 600, 1000, 4}}, 1250, 0, 2000),
       2000, 1},
      {"the rest of one flashing's row takes other flashings' pieces",
       groupOf({{"A", 600, 4000, 1}, {"B", 600, 2000, 1}, {"C", 600, 2000, 1}}), 4000, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CoilPlan plan = planCoil(c.group);
    expectFeasible(c.group, plan);
    EXPECT_DOUBLE_EQ(plan.coilLength, c.coilLength);
    EXPECT_EQ(plan.sheets, c.sheets);
  }
}

TEST(coil_order_test, bounds_waste_and_gap_are_reported) {
  const CoilGroup group = groupOf({{"A", 600, 3000, 2}, {"B", 500, 1000, 1}});
  const CoilPlan plan = planCoil(group);
  expectFeasible(group, plan);
  // One 3000 sheet of A and A, then B alone on 1000: 4000 in all.
  EXPECT_DOUBLE_EQ(plan.coilLength, 4000);
  EXPECT_NEAR(plan.areaBound, (2 * 600 * 3000 + 500 * 1000) / 1250.0, 1e-9);
  EXPECT_NEAR(plan.lpBound, 4000, 1e-6);
  EXPECT_EQ(plan.boundKind, BoundKind::LinearRelaxation);
  EXPECT_NEAR(plan.wastePercent, 100 * (1 - 4.1e6 / (1250 * 4000.0)), 1e-9);
  EXPECT_NEAR(plan.gapPercent, 0, 1e-9);

  // The rest of the short row is the sheet's waste, counted.
  const CoilPlan rest = planCoil(groupOf({{"A", 600, 3000, 1}, {"B", 600, 1000, 1}}));
  ASSERT_EQ(rest.patterns.size(), 1U);
  EXPECT_DOUBLE_EQ(rest.coilLength, 3000);
  EXPECT_NEAR(rest.wastePercent, 100 * (1 - 600 * 4000.0 / (1250 * 3000.0)), 1e-9);

  const CoilPlan nothing = planCoil(groupOf({}));
  EXPECT_TRUE(nothing.patterns.empty());
  EXPECT_EQ(nothing.coilLength, 0);
}

// Flashings of one size are one kind of piece: the plan hands each its own pieces back.
TEST(coil_order_test, pieces_of_one_size_from_many_flashings_are_one_kind) {
  CoilGroup group = groupOf({}, 1250, 10, 6000);
  for (int k = 0; k < 40; ++k) {
    group.pieces.push_back({"F" + std::to_string(k), 300, 1500, 1 + k % 3});
    group.pieces.push_back({"G" + std::to_string(k), 610, 6000, 1});
  }
  const CoilPlan plan = planCoil(group);
  expectFeasible(group, plan);
  expectLayoutsTogether(group, plan);
  // 20 sheets of 6000 with two 610 rows over the 40 G pieces; the 79 F pieces are 20 rows of
  // four, beside nothing else: 5 sheets of four rows.
  EXPECT_DOUBLE_EQ(plan.coilLength, 25 * 6000.0);
}

TEST(coil_order_test, random_orders_are_feasible_and_near_the_lp_bound) {
  std::mt19937 random(20261207);
  double worstGap = 0;
  int bounded = 0;
  for (int instance = 0; instance < 14; ++instance) {
    SCOPED_TRACE(instance);
    CoilGroup group = groupOf({}, 1250, std::uniform_int_distribution<int>(0, 20)(random));
    if (instance % 4 == 1) group.maxSheet = 8000;
    // The first few are small, where integrality rules; the rest large enough to be bounded.
    const int kinds =
        instance < 4 ? 1 + instance : std::uniform_int_distribution<int>(10, 40)(random);
    const bool tenths = instance % 5 == 0;
    for (int k = 0; k < kinds; ++k) {
      double width = std::uniform_int_distribution<int>(3, 18)(random) * 50;
      if (tenths) width += std::uniform_int_distribution<int>(0, 9)(random) / 10.0;
      const double length = std::uniform_int_distribution<int>(10, 60)(random) * 100.0;
      const int count = std::uniform_int_distribution<int>(1, 40)(random);
      group.pieces.push_back({"F" + std::to_string(k), width, length, count});
    }
    const CoilPlan plan = planCoil(group);
    expectFeasible(group, plan);
    expectLayoutsTogether(group, plan);
    if (plan.lpBound > 20 * longestOf(group)) {
      ++bounded;
      const double gap = 100 * (plan.coilLength / plan.lpBound - 1);
      worstGap = std::max(worstGap, gap);
      EXPECT_LE(gap, 3.0);
    }
  }
  EXPECT_GE(bounded, 8);
  std::cout << "worst gap to the LP bound: " << worstGap << " % over " << bounded
            << " bounded orders\n";
}

// Narrow flashings whose lines' rests are each a size of its own, wanted once: the sheets of
// the relaxation round badly there, rows laid first and stacked across do not.
TEST(coil_order_test, narrow_strips_wanted_once_each_come_near_the_area_bound) {
  std::mt19937 random(486);
  CoilGroup group = groupOf({}, 1250, 10);
  for (int flashing = 0; flashing < 20; ++flashing) {
    const double width = std::uniform_int_distribution<int>(60, 250)(random);
    group.pieces.push_back({"F" + std::to_string(flashing), width, 4000, 8});
    for (int line = 0; line < 24; ++line) {
      const double rest = std::uniform_int_distribution<int>(100, 3999)(random);
      group.pieces.push_back({"F" + std::to_string(flashing), width, rest, 1});
    }
  }
  const CoilPlan plan = planCoil(group);
  expectFeasible(group, plan);
  expectLayoutsTogether(group, plan);
  EXPECT_GT(plan.areaBound, 20 * longestOf(group));
  EXPECT_LE(plan.gapPercent, 3.0);
  EXPECT_LE(plan.coilLength, 1.03 * plan.lpBound);
}

TEST(coil_order_test, bad_pieces_and_coils_are_refused_by_name) {
  try {
    planCoil(groupOf({{"A", 300, 2000, 1}, {"檐口包角", 1245, 2000, 1}}, 1250, 10));
    FAIL() << "a piece wider than the coil was accepted";
  } catch (const StripTooWide& error) {
    EXPECT_EQ(error.flashing(), "檐口包角");
    EXPECT_EQ(error.width(), 1245);
    EXPECT_EQ(error.usableWidth(), 1240);
    const std::string message = error.what();
    EXPECT_NE(message.find("檐口包角"), std::string::npos) << message;
    EXPECT_NE(message.find("1245"), std::string::npos) << message;
    EXPECT_NE(message.find("1240"), std::string::npos) << message;
  }
  try {
    planCoil(groupOf({{"A", 300, 2000, 1}, {"滴水", 300, 6001, 1}}, 1250, 0, 6000));
    FAIL() << "a piece longer than the longest sheet was accepted";
  } catch (const CoilError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("滴水"), std::string::npos) << message;
    EXPECT_NE(message.find("6000"), std::string::npos) << message;
  }
  EXPECT_THROW(planCoil(groupOf({{"A", 0, 2000, 1}})), CoilError);
  EXPECT_THROW(planCoil(groupOf({{"A", 300, -1, 1}})), CoilError);
  EXPECT_THROW(planCoil(groupOf({{"A", 300, 2000, -1}})), CoilError);
  EXPECT_THROW(planCoil(groupOf({{"A", 300, 2000, 1}}, 1250, 1250)), CoilError);
  EXPECT_THROW(planCoil(groupOf({{"A", 300, 2000, 1}}, 1250, -5)), CoilError);
  EXPECT_THROW(planCoil(groupOf({{"A", 300, 2000, 1}}, 1250, 0, -1)), CoilError);
}

// A size that passes `> 0` but rounds to no room on the nesting grid once divided the solvers
// by zero; it is an input error naming the flashing, whichever grid the order is on.
TEST(coil_order_test, pieces_too_small_for_the_grid_are_refused) {
  for (const double width : {1e-8, 5e-10, 1e-300}) {
    for (const double other : {300.0, 300.5}) {
      try {
        planCoil(groupOf({{"A", other, 2000, 2}, {"滴水", width, 1000, 3}}));
        FAIL() << "a piece " << width << " mm wide was accepted";
      } catch (const CoilError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("滴水"), std::string::npos) << message;
        EXPECT_NE(message.find("too small"), std::string::npos) << message;
      }
    }
  }
  // Narrow but on the grid: rounded up to one step and cut.
  expectFeasible(groupOf({{"A", 1e-4, 1000, 3}}), planCoil(groupOf({{"A", 1e-4, 1000, 3}})));
  EXPECT_THROW(coil::RowPricing({5, 0}, {1, 1}, {100, 100}, 100, 10, 1), std::invalid_argument);
  EXPECT_THROW(coil::RowPricing({5, 5}, {1, 0}, {100, 100}, 100, 10, 1), std::invalid_argument);
}

// The workshop's order: longest sheets first, one layout's patterns together; nothing is added
// or lost.
TEST(coil_order_test, patterns_are_ordered_for_the_slitter) {
  const CoilGroup group =
      groupOf({{"A", 300, 2000, 0}, {"B", 500, 2000, 0}, {"C", 300, 3000, 0}, {"D", 500, 2000, 0}});
  std::vector<SheetPattern> patterns{
      {1, 2000, {{500, {{1, 1}}}, {300, {{0, 1}}}}},
      {4, 3000, {{300, {{2, 1}}}, {300, {{2, 1}}}}},
      {7, 2000, {{300, {{0, 1}}}, {300, {{0, 1}}}}},
      {2, 2000, {{500, {{3, 1}}}, {300, {{0, 1}}}}},  // the layout of the first, other flashing
  };
  orderForWorkshop(group, patterns);
  ASSERT_EQ(patterns.size(), 4U);
  EXPECT_EQ(patterns[0].length, 3000);
  EXPECT_EQ(sheetLayout(group, patterns[1]), sheetLayout(group, patterns[2]));
  EXPECT_EQ(patterns[1].sheets + patterns[2].sheets, 3);
  EXPECT_EQ(patterns[3].sheets, 7);
}

}  // namespace
}  // namespace kvm
