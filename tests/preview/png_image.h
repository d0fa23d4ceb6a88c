#pragma once

#include <cairo.h>

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace kvm::preview::testing {

// A PNG file read back through cairo, with counts of the kinds of pixel the preview paints.
struct PngImage {
  bool valid = false;
  int width = 0;
  int height = 0;
  int lit = 0;    // anything but the black background
  int white = 0;  // outline and marks
  int green = 0;  // dimension texts of scale 1:10
};

inline PngImage readPng(const std::filesystem::path& file) {
  PngImage image;
  const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create_from_png(file.string().c_str()), &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return image;
  }
  image.valid = true;
  image.width = cairo_image_surface_get_width(surface.get());
  image.height = cairo_image_surface_get_height(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      uint32_t pixel = 0;
      std::memcpy(
          &pixel,
          data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4,
          sizeof pixel);
      const uint32_t red = (pixel >> 16U) & 0xFFU;
      const uint32_t green = (pixel >> 8U) & 0xFFU;
      const uint32_t blue = pixel & 0xFFU;
      if (red + green + blue > 0) {
        ++image.lit;
      }
      if (red > 200 && green > 200 && blue > 200) {
        ++image.white;
      }
      if (green > 150 && red < 80 && blue < 80) {
        ++image.green;
      }
    }
  }
  return image;
}

// A fresh folder under the system's temporary folder, removed again at the end of its scope.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() /
              ("kvm-preview-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  TemporaryFolder(TemporaryFolder&&) = delete;
  TemporaryFolder& operator=(TemporaryFolder&&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kvm::preview::testing
