#include "coil/row_pricing.h"

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>

#include "coil/split_copies.h"

namespace kvm::coil {

namespace {

bool bitAt(const std::vector<std::uint64_t>& bits, std::size_t bit) {
  return ((bits[bit / 64] >> (bit % 64)) & 1U) != 0;
}

void setBit(std::vector<std::uint64_t>& bits, std::size_t bit) {
  bits[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

}  // namespace

RowPricing::RowPricing(std::vector<int> widths, std::vector<int> lengths,
                       std::vector<double> millimetres, double grid, int capacity, int maxLength)
    : widths_(std::move(widths)),
      lengths_(std::move(lengths)),
      millimetres_(std::move(millimetres)),
      capacity_(std::max(capacity, 0)),
      maxLength_(std::max(maxLength, 0)),
      grid_(grid) {
  // A piece of no size would fit any number of times.
  if (std::any_of(widths_.begin(), widths_.end(), [](int width) { return width < 1; }) ||
      std::any_of(lengths_.begin(), lengths_.end(), [](int length) { return length < 1; })) {
    throw std::invalid_argument("row pricing: a piece without size on the grid");
  }
  std::map<int, std::vector<std::size_t>> byWidth;
  for (std::size_t i = 0; i < widths_.size(); ++i) byWidth[widths_[i]].push_back(i);
  for (auto& [width, sizes] : byWidth) {
    WidthRows rows;
    rows.width = width;
    rows.sizes = std::move(sizes);
    rows_.push_back(std::move(rows));
  }
}

void RowPricing::solveWidth(WidthRows& rows, std::span<const double> values,
                            std::span<const int> limits, int maxLength) const {
  const auto cells = static_cast<std::size_t>(maxLength_) + 1;
  rows.chunks.clear();
  for (const std::size_t size : rows.sizes) {
    if (values[size] <= 0 || limits[size] <= 0 || lengths_[size] > maxLength) continue;
    splitCopies(std::min(limits[size], maxLength / lengths_[size]), [&rows, size](int copies) {
      rows.chunks.push_back({size, copies});
    });
  }
  rows.best.assign(cells, 0.0);
  rows.taken.assign((rows.chunks.size() * cells + 63) / 64, 0);
  for (std::size_t k = 0; k < rows.chunks.size(); ++k) {
    const Chunk& chunk = rows.chunks[k];
    const auto length =
        static_cast<std::size_t>(lengths_[chunk.size]) * static_cast<std::size_t>(chunk.copies);
    const double value = values[chunk.size] * chunk.copies;
    for (std::size_t c = cells; c-- > length;) {
      const double with = rows.best[c - length] + value;
      if (with > rows.best[c] + 1e-12) {
        rows.best[c] = with;
        setBit(rows.taken, k * cells + c);
      }
    }
  }
}

void RowPricing::fillRows(std::span<const double> values, std::span<const int> limits) {
  limits_.assign(limits.begin(), limits.end());
  values_.assign(values.begin(), values.end());
  for (WidthRows& rows : rows_) solveWidth(rows, values, limits, maxLength_);
}

SizeCounts RowPricing::rowAt(const WidthRows& rows, int length) const {
  const auto cells = static_cast<std::size_t>(maxLength_) + 1;
  // The fill at `length` is the fill at the shortest length with the same value.
  auto c = static_cast<std::size_t>(length);
  while (c > 0 && rows.best[c - 1] >= rows.best[c]) --c;
  std::map<std::size_t, int> counts;
  for (std::size_t k = rows.chunks.size(); k-- > 0;) {
    if (bitAt(rows.taken, k * cells + c)) {
      const Chunk& chunk = rows.chunks[k];
      counts[chunk.size] += chunk.copies;
      c -= static_cast<std::size_t>(lengths_[chunk.size] * chunk.copies);
    }
  }
  return {counts.begin(), counts.end()};
}

double RowPricing::across(int length, std::vector<int>* counts) const {
  const auto cells = static_cast<std::size_t>(capacity_) + 1;
  const auto at = static_cast<std::size_t>(length);
  std::vector<Chunk> chunks;
  for (std::size_t g = 0; g < rows_.size(); ++g) {
    if (rows_[g].best[at] <= 0 || rows_[g].width > capacity_) continue;
    // No sheet cuts more rows of a width than there are pieces of it, so the relaxation over
    // such sheets still bounds every plan.
    long long useful = 0;
    for (const std::size_t size : rows_[g].sizes) useful += std::max(limits_[size], 0);
    splitCopies(static_cast<int>(std::min<long long>(useful, capacity_ / rows_[g].width)),
                [&chunks, g](int copies) {
                  chunks.push_back({g, copies});
                });
  }
  std::vector<double> best(cells, 0.0);
  std::vector<std::uint64_t> taken((chunks.size() * cells + 63) / 64, 0);
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    const auto width = static_cast<std::size_t>(rows_[chunks[k].size].width) *
                       static_cast<std::size_t>(chunks[k].copies);
    const double value = rows_[chunks[k].size].best[at] * chunks[k].copies;
    for (std::size_t c = cells; c-- > width;) {
      if (best[c - width] + value > best[c] + 1e-12) {
        best[c] = best[c - width] + value;
        setBit(taken, k * cells + c);
      }
    }
  }
  if (counts != nullptr) {
    counts->assign(rows_.size(), 0);
    std::size_t c = cells - 1;
    for (std::size_t k = chunks.size(); k-- > 0;) {
      if (bitAt(taken, k * cells + c)) {
        (*counts)[chunks[k].size] += chunks[k].copies;
        c -= static_cast<std::size_t>(rows_[chunks[k].size].width * chunks[k].copies);
      }
    }
  }
  return best[cells - 1];
}

RowPricing::Scan RowPricing::scan(std::span<const double> values, std::span<const int> limits,
                                  double threshold, bool raise, bool sequential,
                                  std::size_t enough) {
  fillRows(values, limits);
  sequential_ = sequential;
  Scan scan;
  // Each sheet length where some row's best changes, with the fractional bound of its value per
  // mm (the densest row's value filling the width); the exact knapsack across is solved in
  // order of that bound, until no length left can beat the threshold.
  std::vector<std::pair<double, int>> lengths;
  const auto cells = static_cast<std::size_t>(maxLength_) + 1;
  for (std::size_t c = 1; c < cells; ++c) {
    bool changes = false;
    double density = 0;  // the best value per grid unit across
    for (const WidthRows& rows : rows_) {
      changes = changes || rows.best[c] > rows.best[c - 1] + 1e-12;
      density = std::max(density, rows.best[c] / rows.width);
    }
    if (changes) {
      lengths.emplace_back(density * capacity_ / (static_cast<double>(c) * grid_),
                           static_cast<int>(c));
    }
  }
  // Best bound first; of equal bounds the longer sheet, which leaves the shorter pieces for the
  // rests of other rows.
  std::sort(lengths.begin(), lengths.end(), std::greater<>());
  for (const auto& [bound, c] : lengths) {
    const bool beaten = raise ? bound < threshold * (1 - 1e-12) : bound <= threshold;
    if (beaten || scan.candidates.size() >= enough) {
      scan.steepest = std::max(scan.steepest, bound);
      break;
    }
    const double value = across(c, nullptr);
    const double ratio = value / (static_cast<double>(c) * grid_);
    scan.steepest = std::max(scan.steepest, ratio);
    if (ratio > threshold * (1 + 1e-12) || (raise && scan.candidates.empty() && ratio > 0)) {
      scan.candidates.push_back({c, value});
      if (raise) threshold = std::max(threshold, ratio);
    }
  }
  if (raise && scan.candidates.size() > 1) {
    // The best last.
    std::stable_sort(scan.candidates.begin(), scan.candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                       return a.value / a.length < b.value / b.length;
                     });
  }
  return scan;
}

Column RowPricing::fill(int length) const {
  std::vector<int> counts;
  across(length, &counts);
  Column column;
  std::map<std::size_t, int> sizes;
  for (std::size_t g = 0; g < rows_.size(); ++g) {
    if (counts[g] == 0) continue;
    std::vector<int> limits = limits_;
    WidthRows next;
    for (int copy = 0; copy < counts[g]; ++copy) {
      // Filling greedily, each row of a width takes the best of what the rows above it left.
      const WidthRows* solved = &rows_[g];
      if (sequential_ && copy > 0) {
        next.width = rows_[g].width;
        next.sizes = rows_[g].sizes;
        solveWidth(next, values_, limits, length);
        solved = &next;
      }
      Row row{rows_[g].width, rowAt(*solved, length)};
      if (row.pieces.empty()) break;
      double used = 0;
      for (const auto& [size, count] : row.pieces) {
        used += millimetres_[size] * count;
        sizes[size] += count;
        limits[size] -= count;
      }
      column.length = std::max(column.length, used);
      column.rows.push_back(std::move(row));
    }
  }
  column.sizes.assign(sizes.begin(), sizes.end());
  return column;
}

}  // namespace kvm::coil
