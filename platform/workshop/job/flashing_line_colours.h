#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kvm::workshop {

// The drawing colour index of a block's flashing lines, one colour per block for the first
// kDistinctLineColours blocks, then round again. Blocks 1 to 6 keep red to magenta (1–6); the
// index's wheel of 24 hues (10 + 10·hue, red first, 15° apart, each in ten shades: +0 full,
// even ones darker, odd ones paler) gives the others: first its 18 hues between those six,
// then every hue in the other shades, darker before paler, the darkest last.
inline constexpr std::size_t kDistinctLineColours = 240;

constexpr int32_t flashingLineColour(std::size_t block) {
  constexpr std::size_t kPrimaries = 6;
  // Hues by how far they stand from those before: the six of 1–6, the six halfway between,
  // then the twelve between those.
  constexpr std::array<int32_t, 24> hues{0, 4, 8, 12, 16, 20, 2,  6,  10, 14, 18, 22,
                                         1, 3, 5, 7,  9,  11, 13, 15, 17, 19, 21, 23};
  constexpr std::array<int32_t, 9> shades{2, 4, 1, 3, 6, 5, 7, 8, 9};
  const std::size_t n = block % kDistinctLineColours;
  if (n < kPrimaries) {
    return static_cast<int32_t>(n) + 1;
  }
  if (n < hues.size()) {
    return 10 + 10 * hues.at(n);
  }
  const std::size_t shaded = n - hues.size();
  return 10 + 10 * hues.at(shaded % hues.size()) + shades.at(shaded / hues.size());
}

}  // namespace kvm::workshop
