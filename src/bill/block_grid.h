#pragma once

#include <cstdint>

namespace kvm {

// The bill is a grid of blocks, one per flashing: columns of ten blocks, 3480 drawing units
// apart vertically, the columns 10600 apart. Offsets are computed in wide arithmetic so that
// block 40 and later land on the grid like the others.
struct GridOffset {
  double x;
  double y;
};

inline GridOffset blockOffset(int32_t blockId) {
  const int64_t column = blockId / 10;  // truncates toward zero, as integer division does
  const int64_t row = blockId % 10;
  return {static_cast<double>(10600 * column), static_cast<double>(-3480 * row)};
}

}  // namespace kvm
