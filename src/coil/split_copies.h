#pragma once

#include <algorithm>

namespace kvm::coil {

// Copies split in powers of two, so that a 0/1 knapsack over the chunks takes any count.
template <typename Add>
void splitCopies(int copies, Add add) {
  for (int chunk = 1; copies > 0; chunk *= 2) {
    const int taken = std::min(chunk, copies);
    add(taken);
    copies -= taken;
  }
}

}  // namespace kvm::coil
