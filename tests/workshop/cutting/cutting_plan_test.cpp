#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "platform/workshop/cutting/cutting_plan.h"

namespace kvm::workshop {
namespace {

const StockRules kStock{4000, 100};

std::vector<PlannedPiece> piecesOf(const CuttingPlan& plan, std::size_t line) {
  std::vector<PlannedPiece> pieces;
  for (const PlannedPiece& piece : plan.pieces) {
    if (piece.line == line) pieces.push_back(piece);
  }
  return pieces;
}

TEST(cutting_plan_test, full_length_pieces_then_the_rest_with_its_overlap) {
  // 6100: one full piece covers 3900, the rest of 2200 is a piece of 2300 with its overlap;
  // a short line is one piece. The coil plan, not the line, decides what the 2300 is cut beside.
  const std::vector<LineToCut> lines{{6100, LineRule::FullLengthPieces},
                                     {6100, LineRule::FullLengthPieces},
                                     {1000, LineRule::FullLengthPieces}};
  const CuttingPlan plan = planRow(lines, kStock);
  const auto first = piecesOf(plan, 0);
  ASSERT_EQ(first.size(), 2U);
  EXPECT_EQ(first[0].length, 4000);
  EXPECT_EQ(first[1].length, 2300);
  EXPECT_EQ(piecesOf(plan, 1).size(), 2U);
  const auto last = piecesOf(plan, 2);
  ASSERT_EQ(last.size(), 1U);
  EXPECT_EQ(last[0].length, 1000);
  EXPECT_EQ(plan.pieces.size(), 5U);
}

TEST(cutting_plan_test, equal_pieces_and_one_piece_lines) {
  const std::vector<LineToCut> lines{{30100, LineRule::EqualPieces, 3863, 8},
                                     {2500, LineRule::OnePieceFromStock},
                                     {1400, LineRule::OnePieceFromStock}};
  const CuttingPlan plan = planRow(lines, kStock);
  EXPECT_EQ(plan.piecesOfLine(0), 8U);
  EXPECT_GE(coveredLength(piecesOf(plan, 0), kStock.overlap), 30100);
  EXPECT_EQ(piecesOf(plan, 0)[0].length, 3863);
  EXPECT_EQ(piecesOf(plan, 1)[0].length, 2500);
  EXPECT_EQ(piecesOf(plan, 2)[0].length, 1400);
}

TEST(cutting_plan_test, rules_that_cover_nothing_are_refused) {
  const std::vector<LineToCut> noPieces{{1000, LineRule::EqualPieces, 1000, 0}};
  EXPECT_THROW(planRow(noPieces, kStock), std::invalid_argument);
  const std::vector<LineToCut> full{{1000, LineRule::FullLengthPieces}};
  EXPECT_THROW(planRow(full, {300, 300}), std::invalid_argument);
  const std::vector<LineToCut> empty{{0, LineRule::OnePieceFromStock}};
  EXPECT_THROW(planRow(empty, kStock), std::invalid_argument);
}

// A 1,000 km line with a cover of 1 mm (cut length 300, overlap 299) once made about 10^9
// pieces; a row needing more pieces than a bill holds is refused before any is made.
TEST(cutting_plan_test, rows_needing_more_pieces_than_a_bill_holds_are_refused_first) {
  const std::vector<LineToCut> many{{1000, LineRule::EqualPieces, 1000, kMostPiecesInBill + 1}};
  EXPECT_THROW(planRow(many, kStock), std::length_error);
  const std::vector<LineToCut> far{{1'000'000'000, LineRule::FullLengthPieces}};
  EXPECT_THROW(planRow(far, {300, 299}), std::length_error);
  // 2 + 1 + 8 pieces: the count is exact, so the limit is too.
  const std::vector<LineToCut> lines{{6100, LineRule::FullLengthPieces},
                                     {1000, LineRule::OnePieceFromStock},
                                     {30100, LineRule::EqualPieces, 3863, 8}};
  EXPECT_EQ(piecesNeeded(lines, kStock, 100), 11);
  EXPECT_EQ(piecesNeeded(lines, kStock, 5), 6);
  EXPECT_THROW(planRow(lines, kStock, 10), std::length_error);
  EXPECT_EQ(planRow(lines, kStock, 11).pieces.size(), 11U);
  for (int64_t length = 1; length < 20000; length += 97) {
    const std::vector<LineToCut> one{{length, LineRule::FullLengthPieces}};
    EXPECT_EQ(piecesNeeded(one, kStock, 100),
              static_cast<int64_t>(planRow(one, kStock).pieces.size()))
        << length;
  }
}

// Random rows: every line covered with its overlaps, no piece longer than the stock allows
// (bar equal pieces the bill asked for), only a line's last piece shorter than full length.
TEST(cutting_plan_test, random_rows_are_covered_by_pieces_no_longer_than_stock) {
  std::mt19937 random(17);
  for (int row = 0; row < 500; ++row) {
    const StockRules stock{std::uniform_int_distribution<int64_t>(300, 10000)(random),
                           std::uniform_int_distribution<int64_t>(0, 299)(random)};
    std::vector<LineToCut> lines;
    const int count = std::uniform_int_distribution<int>(1, 30)(random);
    for (int i = 0; i < count; ++i) {
      const int64_t length = std::uniform_int_distribution<int64_t>(1, 40000)(random);
      lines.push_back(
          {length, random() % 2 == 0 ? LineRule::FullLengthPieces : LineRule::OnePieceFromStock});
      if (lines.back().rule == LineRule::OnePieceFromStock && length > stock.maxCutLength) {
        lines.back().rule = LineRule::FullLengthPieces;
      }
    }
    const CuttingPlan plan = planRow(lines, stock);
    for (std::size_t line = 0; line < lines.size(); ++line) {
      const auto pieces = piecesOf(plan, line);
      ASSERT_FALSE(pieces.empty());
      EXPECT_GE(coveredLength(pieces, stock.overlap), lines[line].length) << "row " << row;
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(pieces[i].length, stock.maxCutLength);
        if (i + 1 < pieces.size()) {
          EXPECT_EQ(pieces[i].length, stock.maxCutLength);
        }
      }
    }
  }
}

}  // namespace
}  // namespace kvm::workshop
