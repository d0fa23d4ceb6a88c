#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvm::script {

// A digest as lower-case hex.
template <std::size_t N>
std::string hexDigits(const std::array<uint8_t, N>& digest) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * N);
  for (const uint8_t byte : digest) {
    hex += kDigits[byte >> 4U];
    hex += kDigits[byte & 0x0FU];
  }
  return hex;
}

}  // namespace kvm::script
