#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvm::testing {

// A 32-bit picture, top row first, one 0x00RRGGBB word a pixel: what the Windows programs
// write and the Linux tests read back, so the two need no common image library.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  [[nodiscard]] uint32_t at(int x, int y) const {
    return pixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x));
  }
};

namespace bitmap_detail {
constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kOffset = kFileHeader + kInfoHeader;

inline void put(std::vector<char>& out, std::size_t at, uint32_t value, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) {
    out[at + i] = static_cast<char>((value >> (8U * i)) & 0xFFU);
  }
}

inline uint32_t get(const std::vector<char>& in, std::size_t at, std::size_t bytes) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < bytes; ++i) {
    value |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8U * i);
  }
  return value;
}
}  // namespace bitmap_detail

// Writes the picture as an uncompressed top-down BMP file.
inline void writeBitmap(const std::filesystem::path& file, const Bitmap& picture) {
  using namespace bitmap_detail;
  const std::size_t bytes = picture.pixels.size() * sizeof(uint32_t);
  std::vector<char> out(kOffset + bytes);
  out[0] = 'B';
  out[1] = 'M';
  put(out, 2, static_cast<uint32_t>(out.size()), 4);
  put(out, 10, kOffset, 4);
  put(out, 14, kInfoHeader, 4);
  put(out, 18, static_cast<uint32_t>(picture.width), 4);
  put(out, 22, static_cast<uint32_t>(-picture.height), 4);  // negative: top row first
  put(out, 26, 1, 2);                                       // planes
  put(out, 28, 32, 2);                                      // bits per pixel
  std::memcpy(out.data() + kOffset, picture.pixels.data(), bytes);
  std::ofstream stream(file, std::ios::binary);
  stream.write(out.data(), static_cast<std::streamsize>(out.size()));
  if (!stream) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

// Reads a file that writeBitmap wrote; anything else is refused with the reason.
inline Bitmap readBitmap(const std::filesystem::path& file) {
  using namespace bitmap_detail;
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    throw std::runtime_error("cannot read " + file.string());
  }
  const std::vector<char> in{std::istreambuf_iterator<char>(stream),
                             std::istreambuf_iterator<char>()};
  const auto refuse = [&](const std::string& why) {
    return std::runtime_error(file.string() + ": " + why);
  };
  if (in.size() < kOffset || in[0] != 'B' || in[1] != 'M') {
    throw refuse("not a BMP file");
  }
  if (get(in, 28, 2) != 32 || get(in, 30, 4) != 0) {
    throw refuse("not an uncompressed 32-bit picture");
  }
  const auto width = static_cast<int32_t>(get(in, 18, 4));
  const auto height = static_cast<int32_t>(get(in, 22, 4));
  const uint32_t offset = get(in, 10, 4);
  constexpr int32_t kLargest = 1 << 14;
  if (width <= 0 || height >= 0 || -height > kLargest || width > kLargest) {
    throw refuse("not a top-down picture of a sensible size");
  }
  Bitmap picture;
  picture.width = width;
  picture.height = -height;
  const std::size_t count =
      static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  if (offset < kOffset || in.size() < offset || (in.size() - offset) / 4 < count) {
    throw refuse("shorter than its pixels");
  }
  picture.pixels.resize(count);
  std::memcpy(picture.pixels.data(), in.data() + offset, count * sizeof(uint32_t));
  return picture;
}

}  // namespace kvm::testing
