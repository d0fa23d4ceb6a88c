#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kvm::fuzz {

// Hands out the fuzzer's bytes as small decisions; once they run out every answer is zero, so
// every input describes a complete, finite session.
class ByteSource {
 public:
  explicit ByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  [[nodiscard]] bool empty() const noexcept { return at_ >= bytes_.size(); }

  uint8_t byte() noexcept { return at_ < bytes_.size() ? bytes_[at_++] : uint8_t{0}; }

  // A number in 0..count-1 (count > 0).
  std::size_t pick(std::size_t count) noexcept { return byte() % count; }

  int32_t int32() noexcept {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      value = (value << 8U) | byte();
    }
    return static_cast<int32_t>(value);
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace kvm::fuzz
