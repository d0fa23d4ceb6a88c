#pragma once

#include <cstdint>

namespace kvm {

// A control's colour, red, green and blue.
struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  bool operator==(const Color&) const = default;
};

inline constexpr Color kWhiteColor{255, 255, 255};
inline constexpr Color kBlackColor{0, 0, 0};

}  // namespace kvm
