#include "platform/cairo/png_file.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <new>
#include <string>

#include "files/file_write_error.h"
#include "files/staged_file.h"
#include "platform/cairo/cairo_render.h"

namespace kvm::cairo {

namespace {

// The pixel words are read in place as bytes blue, green, red, unused.
static_assert(std::endian::native == std::endian::little);

extern "C" void appendBytes(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  try {
    out->append(reinterpret_cast<const char*>(data), size);  // NOLINT: libpng's bytes
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

extern "C" void flushNothing(png_structp /*png*/) {}

// The encoding proper, apart: libpng reports failures by a long jump back here, and nothing
// between the jump and its target may own anything.
bool encode(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height,
            png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)) != 0) {  // NOLINT(cert-err52-cpp): libpng's way to fail
    return false;
  }
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Speed over size: a bill writes hundreds of these, and compressing is most of their time.
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

// libpng's two structures, freed on every path out.
class PngWriteStruct {
 public:
  PngWriteStruct()
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr)),
        info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {
    if (info_ == nullptr) {
      png_destroy_write_struct(&png_, nullptr);
      throw std::bad_alloc();
    }
  }
  PngWriteStruct(const PngWriteStruct&) = delete;
  PngWriteStruct& operator=(const PngWriteStruct&) = delete;
  PngWriteStruct(PngWriteStruct&&) = delete;
  PngWriteStruct& operator=(PngWriteStruct&&) = delete;
  ~PngWriteStruct() { png_destroy_write_struct(&png_, &info_); }

  [[nodiscard]] png_structp png() const { return png_; }
  [[nodiscard]] png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

}  // namespace

void writeFastPng(const std::filesystem::path& file, int width, int height,
                  const std::vector<uint32_t>& pixels) {
  const auto columns = static_cast<std::size_t>(width);
  const auto rowCount = static_cast<std::size_t>(height);
  if (width <= 0 || height <= 0 || pixels.size() != columns * rowCount) {
    throw RenderError("the image needs a positive size");
  }
  std::vector<png_bytep> rows(rowCount);
  for (std::size_t y = 0; y < rowCount; ++y) {
    // libpng only reads the rows it is given to write.
    rows[y] = reinterpret_cast<png_bytep>(  // NOLINT: the words as bytes
        const_cast<uint32_t*>(pixels.data() + y * columns));
  }
  std::string png;
  const PngWriteStruct writer;
  png_set_write_fn(writer.png(), &png, appendBytes, flushNothing);
  if (!encode(writer.png(), writer.info(), static_cast<png_uint_32>(width),
              static_cast<png_uint_32>(height), rows.data())) {
    throw RenderError("cannot encode " + file.string() + " as PNG");
  }

  try {
    files::writeFileSafely(file, png);
  } catch (const files::FileWriteError& error) {
    throw RenderError(error.what());
  }
}

}  // namespace kvm::cairo
