#pragma once

#include <vector>

#include "base/variant.h"

namespace kvm {

// The flashing lines the host hands over for the flashing in hand: start x, start y, end x,
// end y per line, in call order.
class LineSegments {
 public:
  static constexpr std::size_t kMaxElements = 32768;  // 8192 lines

  // Adds one line. Both points are read before the list grows, so a bad point changes nothing.
  void add(const Variant& start, const Variant& end);
  void clear() { values_.clear(); }

  // A Double array of the elements; an array-typed value holding no array when empty.
  [[nodiscard]] Variant toVariant() const;
  [[nodiscard]] std::size_t size() const { return values_.size(); }

 private:
  std::vector<double> values_;
};

}  // namespace kvm
