#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

namespace kvm::coil {

// Pieces by size index with their counts, indices ascending.
using SizeCounts = std::vector<std::pair<std::size_t, int>>;

// A row of a sheet: its width on the nesting grid and the pieces along it.
struct Row {
  int width = 0;
  SizeCounts pieces;
  bool operator==(const Row&) const = default;
  bool operator<(const Row& other) const {
    return std::tie(width, pieces) < std::tie(other.width, other.pieces);
  }
};

// A sheet pattern as the master sees it: its length (mm), the pieces it cuts by size, and the
// rows that cut them.
struct Column {
  double length = 0;
  SizeCounts sizes;
  std::vector<Row> rows;
};

// The best sheets for given values of the piece sizes: a knapsack along the sheet for each
// width (the best row of that width for every row length at once), then a knapsack across the
// coil's width over the widths, valued by their best rows, for each sheet length where some
// row's best fill changes.
class RowPricing {
 public:
  // widths in grid units (at least 1), lengths in grid units along (at least 1) and in mm,
  // `grid` mm per unit along; capacity across and the longest sheet along, in grid units.
  RowPricing(std::vector<int> widths, std::vector<int> lengths, std::vector<double> millimetres,
             double grid, int capacity, int maxLength);

  struct Candidate {
    int length = 0;  // grid units along
    double value = 0;
  };
  struct Scan {
    std::vector<Candidate> candidates;  // sheet lengths whose value per mm passed the threshold
    double steepest = 0;                // an upper bound on any sheet's value per mm
  };

  // Fills the rows of every width with pieces of positive value, at most limits[i] of size i
  // along a row. Then scans the sheet lengths, best fractional bound per mm first: those whose
  // bound does not exceed `threshold` are skipped (counted in `steepest`); with `raise`, the
  // threshold rises to the best value per mm found, for a search of the single best (the last
  // candidate). The scan stops once it has `enough` candidates, the rest counted by bound. With
  // `sequential`, fill() lays each row of a width from what the rows above it left, not copies of
  // the best row.
  Scan scan(std::span<const double> values, std::span<const int> limits, double threshold,
            bool raise, bool sequential, std::size_t enough = SIZE_MAX);

  // The sheet of a candidate of the last scan.
  Column fill(int length) const;

  double millimetresAlong(int length) const { return length * grid_; }

 private:
  struct Chunk {
    std::size_t size;
    int copies;
  };
  struct WidthRows {
    int width = 0;
    std::vector<std::size_t> sizes;
    std::vector<Chunk> chunks;
    std::vector<double> best;          // per row length, the best value within it
    std::vector<std::uint64_t> taken;  // chunks x (maxLength + 1) bits
  };

  void fillRows(std::span<const double> values, std::span<const int> limits);
  // The knapsack along rows of one width, with rows up to maxLength long.
  void solveWidth(WidthRows& rows, std::span<const double> values, std::span<const int> limits,
                  int maxLength) const;
  SizeCounts rowAt(const WidthRows& rows, int length) const;
  // The best across the coil for the rows' values at `length`; counts of rows per width.
  double across(int length, std::vector<int>* counts) const;

  std::vector<int> widths_;
  std::vector<int> lengths_;
  std::vector<double> millimetres_;
  int capacity_;
  int maxLength_;
  double grid_ = 1;  // mm per unit along
  std::vector<WidthRows> rows_;
  std::vector<int> limits_;
  std::vector<double> values_;
  bool sequential_ = false;
};

}  // namespace kvm::coil
