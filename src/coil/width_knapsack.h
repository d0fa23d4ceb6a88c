#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace kvm::coil {

// Strips across one sheet: (strip index, count), indices ascending.
using StripCounts = std::vector<std::pair<std::size_t, int>>;

// The best fill of a sheet's width for every candidate sheet length at once. Strips are taken
// in order of length, so the table after the strips of one length is the best fill among the
// strips no longer than it: one pass prices every sheet length.
class WidthKnapsack {
 public:
  // widths in whole units of the nesting grid, at least 1 (else std::invalid_argument);
  // lengths in mm.
  WidthKnapsack(std::vector<int> widths, std::vector<double> lengths);

  // Fills `capacity` units with at most limits[i] of strip i, maximising the summed values
  // (strips with no positive value stay out), considering strips up to maxLength.
  void solve(std::span<const double> values, std::span<const int> limits, int capacity,
             double maxLength);

  // Per distinct strip length solved: the length and the best value of strips no longer.
  std::size_t lengthCount() const { return best_.size(); }
  double length(std::size_t candidate) const { return best_[candidate].length; }
  double value(std::size_t candidate) const { return best_[candidate].value; }
  StripCounts fill(std::size_t candidate) const;

 private:
  struct Best {
    double length;
    double value;
    std::size_t copiesEnd;  // copies considered when this length was closed
  };

  std::vector<int> widths_;
  std::vector<double> lengths_;
  std::vector<std::size_t> byLength_;
  int capacity_ = 0;
  std::vector<std::size_t> copyStrip_;  // each 0/1 copy of a strip, in the order added
  std::vector<std::uint64_t> taken_;    // bits, copies x (capacity + 1): the copy improved it
  std::vector<Best> best_;
};

}  // namespace kvm::coil
