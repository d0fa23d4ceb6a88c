#include "platform/cairo/png_file.h"

#include <zlib.h>

#include <limits>
#include <string>
#include <string_view>

#include "files/file_write_error.h"
#include "files/staged_file.h"
#include "platform/cairo/cairo_render.h"

namespace kvm::cairo {

namespace {

void putBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    out.push_back(static_cast<char>((value >> shift) & 0xFFU));
  }
}

// A chunk: length, type, data, and the CRC of type and data.
void putChunk(std::string& out, std::string_view type, std::string_view data) {
  putBigEndian(out, static_cast<uint32_t>(data.size()));
  std::string typed(type);
  typed += data;
  out += typed;
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(typed.data()),  // NOLINT: bytes as zlib wants
              static_cast<uInt>(typed.size()));
  putBigEndian(out, static_cast<uint32_t>(crc));
}

}  // namespace

void writeFastPng(const std::filesystem::path& file, int width, int height,
                  const std::vector<uint32_t>& pixels) {
  const auto columns = static_cast<std::size_t>(width);
  const auto rows = static_cast<std::size_t>(height);
  if (width <= 0 || height <= 0 || pixels.size() != columns * rows ||
      columns * 3 + 1 > std::numeric_limits<uInt>::max() / rows) {
    throw RenderError("the image needs a positive size");
  }
  // Each row: the filter type 0 (none), then its red, green and blue bytes.
  std::string raw;
  raw.reserve(rows * (columns * 3 + 1));
  for (std::size_t y = 0; y < rows; ++y) {
    raw.push_back('\0');
    for (std::size_t x = 0; x < columns; ++x) {
      const uint32_t pixel = pixels[y * columns + x];
      raw.push_back(static_cast<char>((pixel >> 16) & 0xFFU));
      raw.push_back(static_cast<char>((pixel >> 8) & 0xFFU));
      raw.push_back(static_cast<char>(pixel & 0xFFU));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,  // NOLINT: zlib's bytes
                reinterpret_cast<const Bytef*>(raw.data()),            // NOLINT: as above
                static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK) {
    throw RenderError("cannot compress " + file.string());
  }
  packed.resize(packedSize);

  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  putBigEndian(header, static_cast<uint32_t>(width));
  putBigEndian(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, none
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", packed);
  putChunk(png, "IEND", {});

  try {
    files::writeFileSafely(file, png);
  } catch (const files::FileWriteError& error) {
    throw RenderError(error.what());
  }
}

}  // namespace kvm::cairo
