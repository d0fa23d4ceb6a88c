#include "coil/width_knapsack.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace kvm::coil {

WidthKnapsack::WidthKnapsack(std::vector<int> widths, std::vector<double> lengths)
    : widths_(std::move(widths)), lengths_(std::move(lengths)), byLength_(widths_.size()) {
  // A strip of no width would fit any number of times.
  if (std::any_of(widths_.begin(), widths_.end(), [](int width) { return width < 1; })) {
    throw std::invalid_argument("width knapsack: a strip without width on the grid");
  }
  std::iota(byLength_.begin(), byLength_.end(), std::size_t{0});
  std::stable_sort(byLength_.begin(), byLength_.end(),
                   [this](std::size_t a, std::size_t b) { return lengths_[a] < lengths_[b]; });
}

void WidthKnapsack::solve(std::span<const double> values, std::span<const int> limits, int capacity,
                          double maxLength) {
  capacity_ = std::max(capacity, 0);
  const auto cells = static_cast<std::size_t>(capacity_) + 1;
  copyStrip_.clear();
  best_.clear();
  for (const std::size_t i : byLength_) {
    if (lengths_[i] > maxLength) break;
    if (values[i] <= 0 || limits[i] <= 0 || widths_[i] > capacity_) continue;
    const int copies = std::min(limits[i], capacity_ / widths_[i]);
    copyStrip_.insert(copyStrip_.end(), static_cast<std::size_t>(copies), i);
  }
  taken_.assign((copyStrip_.size() * cells + 63) / 64, 0);
  std::vector<double> table(cells, 0.0);

  std::size_t copy = 0;
  for (std::size_t k = 0; k < byLength_.size();) {
    const double length = lengths_[byLength_[k]];
    if (length > maxLength) break;
    for (; k < byLength_.size() && lengths_[byLength_[k]] == length; ++k) {
      for (; copy < copyStrip_.size() && copyStrip_[copy] == byLength_[k]; ++copy) {
        const auto width = static_cast<std::size_t>(widths_[copyStrip_[copy]]);
        const double value = values[copyStrip_[copy]];
        const std::size_t row = copy * cells;
        for (std::size_t c = cells - 1; c >= width; --c) {
          const double with = table[c - width] + value;
          if (with > table[c] + 1e-12) {
            table[c] = with;
            taken_[(row + c) / 64] |= std::uint64_t{1} << ((row + c) % 64);
          }
        }
      }
    }
    best_.push_back({length, table[cells - 1], copy});
  }
}

StripCounts WidthKnapsack::fill(std::size_t candidate) const {
  const auto cells = static_cast<std::size_t>(capacity_) + 1;
  std::vector<int> counts(widths_.size(), 0);
  std::size_t c = cells - 1;
  for (std::size_t copy = best_[candidate].copiesEnd; copy-- > 0;) {
    const std::size_t bit = copy * cells + c;
    if ((taken_[bit / 64] >> (bit % 64) & 1U) != 0) {
      ++counts[copyStrip_[copy]];
      c -= static_cast<std::size_t>(widths_[copyStrip_[copy]]);
    }
  }
  StripCounts fill;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    if (counts[i] > 0) fill.emplace_back(i, counts[i]);
  }
  return fill;
}

}  // namespace kvm::coil
