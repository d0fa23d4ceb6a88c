#pragma once

#include <memory>
#include <string_view>

namespace kvm::detail {

// The operating system's code page 936, asked one code at a time while the conversion
// tables are built (once per process); each platform supplies its own implementation.
class GbkDecoder {
 public:
  GbkDecoder();
  ~GbkDecoder();
  GbkDecoder(const GbkDecoder&) = delete;
  GbkDecoder& operator=(const GbkDecoder&) = delete;

  // A single byte, or a lead byte with its trail byte: the UTF-16 unit it stands for, or 0
  // when the code page maps it to nothing or to more than one unit.
  char16_t decode(std::string_view code);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kvm::detail
