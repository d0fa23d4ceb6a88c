#include "platform/workshop/cutting/cutting_plan.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kvm::workshop {

namespace {

class RowPlanner {
 public:
  explicit RowPlanner(const StockRules& stock) : stock_(stock) {}

  void add(std::size_t index, const LineToCut& line) {
    if (line.length <= 0) {
      throw std::invalid_argument("a line to cut has no length");
    }
    switch (line.rule) {
      case LineRule::EqualPieces:
        if (line.pieces <= 0 || line.pieceLength <= 0 ||
            (line.pieces > 1 && line.pieceLength <= stock_.overlap)) {
          throw std::invalid_argument("equal pieces that cover nothing");
        }
        for (int64_t i = 0; i < line.pieces; ++i) {
          plan_.pieces.push_back({index, line.pieceLength});
        }
        break;
      case LineRule::FullLengthPieces: {
        const int64_t cover = stock_.maxCutLength - stock_.overlap;
        if (cover <= 0) {
          throw std::invalid_argument("full-length pieces that cover nothing");
        }
        if (line.length <= cover) {
          fromStock(index, line.length);  // one piece, no joint
          break;
        }
        int64_t rest = line.length;
        while (rest > cover) {
          fromStock(index, stock_.maxCutLength);
          rest -= cover;
        }
        fromStock(index, rest + stock_.overlap);
        break;
      }
      case LineRule::OnePieceFromStock: fromStock(index, line.length); break;
    }
  }

  CuttingPlan take() { return std::move(plan_); }

 private:
  // Pieces shorter than full length are laid on the coil with the pieces of other lines and
  // flashings of the width, so that no line keeps offcuts of its own.
  void fromStock(std::size_t index, int64_t length) { plan_.pieces.push_back({index, length}); }

  StockRules stock_;
  CuttingPlan plan_;
};

}  // namespace

std::size_t CuttingPlan::piecesOfLine(std::size_t line) const {
  return static_cast<std::size_t>(
      std::count_if(pieces.begin(), pieces.end(),
                    [line](const PlannedPiece& piece) { return piece.line == line; }));
}

int64_t piecesNeeded(std::span<const LineToCut> lines, const StockRules& stock, int64_t limit) {
  const int64_t cover = stock.maxCutLength - stock.overlap;
  int64_t total = 0;
  for (const LineToCut& line : lines) {
    int64_t pieces = 1;
    if (line.rule == LineRule::EqualPieces) {
      pieces = line.pieces;
    } else if (line.rule == LineRule::FullLengthPieces && cover > 0 && line.length > cover) {
      // A full-length piece for each cover while more than one is left, then the rest.
      pieces = (line.length - 1) / cover + 1;
    }
    if (pieces > limit - total) return limit + 1;
    total += std::max<int64_t>(pieces, 0);
  }
  return total;
}

CuttingPlan planRow(std::span<const LineToCut> lines, const StockRules& stock, int64_t mostPieces) {
  if (piecesNeeded(lines, stock, mostPieces) > mostPieces) {
    throw std::length_error("the lines need more than " + std::to_string(mostPieces) +
                            " pieces, more than a bill may hold");
  }
  RowPlanner planner(stock);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    planner.add(i, lines[i]);
  }
  return planner.take();
}

int64_t coveredLength(std::span<const PlannedPiece> pieces, int64_t overlap) {
  int64_t covered = 0;
  for (const PlannedPiece& piece : pieces) {
    covered += piece.length;
  }
  return pieces.empty() ? 0 : covered - overlap * static_cast<int64_t>(pieces.size() - 1);
}

}  // namespace kvm::workshop
