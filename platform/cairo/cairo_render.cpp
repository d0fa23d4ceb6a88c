#include "platform/cairo/cairo_render.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <memory>

#include "base/text.h"
#include "files/file_write_error.h"
#include "files/staged_file.h"
#include "platform/cairo/png_file.h"
#include "platform/cairo/staged_stream.h"

namespace kvm::cairo {
namespace {

struct SurfaceRelease {
  void operator()(cairo_surface_t* surface) const noexcept { cairo_surface_destroy(surface); }
};
struct ContextRelease {
  void operator()(cairo_t* context) const noexcept { cairo_destroy(context); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextPtr = std::unique_ptr<cairo_t, ContextRelease>;

void check(cairo_status_t status, const std::string& what) {
  if (status != CAIRO_STATUS_SUCCESS) {
    throw RenderError(what + ": " + cairo_status_to_string(status));
  }
}

std::string lowerExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return extension;
}

void draw(cairo_surface_t* surface, const std::vector<canvas::CanvasOp>& ops, int width, int height,
          const RenderOptions& options) {
  const ContextPtr context(cairo_create(surface));
  check(cairo_status(context.get()), "cannot draw on the image");
  CairoCanvas canvas(context.get(), width, height, options.fontFamily);
  canvas.clear();  // the area's black background, whatever the operations begin with
  canvas::replay(ops, canvas);
  check(cairo_status(context.get()), "drawing failed");
  cairo_surface_flush(surface);
}

}  // namespace

std::optional<ImageFormat> imageFormatFor(const std::filesystem::path& file) {
  const std::string extension = lowerExtension(file);
  if (extension == ".png") {
    return ImageFormat::Png;
  }
  if (extension == ".svg") {
    return ImageFormat::Svg;
  }
  return std::nullopt;
}

void renderToFile(const std::vector<canvas::CanvasOp>& ops, int width, int height,
                  ImageFormat format, const std::filesystem::path& file,
                  const RenderOptions& options) {
  if (width <= 0 || height <= 0) {
    throw RenderError("the image needs a positive size");
  }
  const std::string name = file.string();
  if (format == ImageFormat::Png) {
    const Image image = renderToImage(ops, width, height, options);
    writeFastPng(file, image.width, image.height, image.pixels);
    return;
  }
  try {
    files::StagedFile staged(file);
    {
      const SurfacePtr surface(
          cairo_svg_surface_create_for_stream(writeToStagedFile, &staged, width, height));
      check(cairo_surface_status(surface.get()), "cannot write " + name);
      draw(surface.get(), ops, width, height, options);
      cairo_surface_finish(surface.get());
      if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        staged.flush();  // a failure of the disk says so itself
      }
      check(cairo_surface_status(surface.get()), "cannot write " + name);
    }
    staged.commit();
  } catch (const files::FileWriteError& error) {
    throw RenderError(error.what());
  }
}

Image renderToImage(const std::vector<canvas::CanvasOp>& ops, int width, int height,
                    const RenderOptions& options) {
  if (width <= 0 || height <= 0) {
    throw RenderError("the image needs a positive size");
  }
  const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  check(cairo_surface_status(surface.get()), "cannot make the image");
  draw(surface.get(), ops, width, height, options);
  Image image{width, height, {}};
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface.get()));
  const auto row = static_cast<std::size_t>(width);
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    std::memcpy(&image.pixels[y * row], data + y * stride, row * sizeof(uint32_t));
  }
  for (uint32_t& pixel : image.pixels) {
    pixel &= 0xFFFFFFU;  // the unused byte of a 24-bit surface is undefined
  }
  return image;
}

void releaseFontCaches() noexcept {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace kvm::cairo
