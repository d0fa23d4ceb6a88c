#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas/recording_canvas.h"
#include "platform/cairo/cairo_canvas.h"

namespace kvm::cairo {

enum class ImageFormat : uint8_t { Png, Svg };

// The format a file name asks for by its extension (.png, .svg, any case).
std::optional<ImageFormat> imageFormatFor(const std::filesystem::path& file);

// Cairo could not make or write the image.
class RenderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct RenderOptions {
  std::string fontFamily = kDefaultFontFamily;
};

// Plays recorded operations onto a fresh black area of width × height pixels and writes it
// to the file as PNG or SVG, replacing the file whole or not at all (RenderError says why not).
void renderToFile(const std::vector<canvas::CanvasOp>& ops, int width, int height,
                  ImageFormat format, const std::filesystem::path& file,
                  const RenderOptions& options = {});

// An opaque picture in memory: rows top first, one 0x00RRGGBB word a pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// Plays recorded operations onto a fresh black area of width × height pixels in memory.
Image renderToImage(const std::vector<canvas::CanvasOp>& ops, int width, int height,
                    const RenderOptions& options = {});

// Frees the font caches that cairo and fontconfig keep for the life of the process, so that
// a leak checker sees a clean end. Only once no cairo object is left and none will be made.
void releaseFontCaches() noexcept;

}  // namespace kvm::cairo
