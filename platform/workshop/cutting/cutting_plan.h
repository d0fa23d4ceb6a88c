#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kvm::workshop {

// How the pieces of one line are made, as the bill's count row for the line's class has it.
enum class LineRule {
  // `pieces` equal pieces of `pieceLength`, cut to length from the coil.
  EqualPieces,
  // Full-length pieces, each covering the maximum cut length less the overlap, as the bill
  // counts them; the rest of the line is a shorter piece with its overlap.
  FullLengthPieces,
  // The line in one piece.
  OnePieceFromStock,
};

// One line of a row to be cut.
struct LineToCut {
  int64_t length = 0;  // mm, the line's cut length with its end extension
  LineRule rule = LineRule::EqualPieces;
  int64_t pieceLength = 0;  // EqualPieces only
  int64_t pieces = 0;       // EqualPieces only
};

// The flashing's attributes the pieces are made with (mm).
struct StockRules {
  int64_t maxCutLength = 0;
  int64_t overlap = 0;
};

struct PlannedPiece {
  std::size_t line = 0;  // index into the row's lines
  int64_t length = 0;    // mm
};

// The pieces of every line of one row, line by line, in the order they go on the line. Each is
// cut to length from the coil, where the coil plan lays it.
struct CuttingPlan {
  std::vector<PlannedPiece> pieces;

  [[nodiscard]] std::size_t piecesOfLine(std::size_t line) const;
};

// The longest line a flashing may have (mm): a building's flashing runs stay far below 1,000 m,
// and a longer line is a mistake of units or of the drawing.
inline constexpr int64_t kLongestFlashingLine = 1'000'000;
// The most pieces one bill may hold: a plan is built piece by piece in memory, and a short
// cover on a long line would otherwise ask for a billion of them.
inline constexpr int64_t kMostPiecesInBill = 1'000'000;

// A plan for the lines of one row, in their order. Throws
// std::invalid_argument for rules that could cover no line (a piece not longer than the
// overlap, no pieces, a length that is not positive), and std::length_error, before any
// piece is made, where the lines need more than `mostPieces` pieces.
CuttingPlan planRow(std::span<const LineToCut> lines, const StockRules& stock,
                    int64_t mostPieces = kMostPiecesInBill);

// How many pieces the lines need, counted without making them; past `limit`, limit + 1.
int64_t piecesNeeded(std::span<const LineToCut> lines, const StockRules& stock, int64_t limit);

// What a line's pieces cover laid end to end, each joint taking one overlap.
int64_t coveredLength(std::span<const PlannedPiece> pieces, int64_t overlap);

}  // namespace kvm::workshop
