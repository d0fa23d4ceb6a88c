#include "platform/cairo/cairo_render.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include <fstream>
#include <iterator>

#include "preview/profile_preview.h"
#include "tests/preview/png_image.h"
#include "tests/preview/recording_ui.h"
#include "tests/preview/ridge_flashing.h"

namespace kvm::cairo {
namespace {

using preview::testing::readPng;
using preview::testing::TemporaryFolder;

std::vector<canvas::CanvasOp> ridgeOps() {
  preview::RecordingPreviewArea area;
  preview::testing::RecordingUi ui;
  preview::drawPreview(preview::testing::ridgeFlashing(), area, ui);
  return area.recording().ops();
}

TEST(cairo_render_test, ridge_flashing_png_shows_outline_and_dimensions) {
  const TemporaryFolder folder("render");
  const auto file = folder.path() / "ridge.png";
  renderToFile(ridgeOps(), 342, 180, ImageFormat::Png, file);

  const auto image = readPng(file);
  ASSERT_TRUE(image.valid);
  EXPECT_EQ(image.width, 342);
  EXPECT_EQ(image.height, 180);
  EXPECT_GT(image.white, 200) << "the outline and the star";
  EXPECT_GT(image.green, 30) << "five dimension texts in the 1:10 colour";
  EXPECT_LT(image.lit, 342 * 180 / 4) << "mostly background";
}

// The PNG is our own writer's: read back by the system's PNG reader (through cairo), every
// pixel is the one drawn, at sizes whose rows do not fill whole words.
TEST(cairo_render_test, png_pixels_read_back_as_drawn) {
  const TemporaryFolder folder("render");
  for (const auto& [width, height] : {std::pair{342, 180}, std::pair{1, 1}, std::pair{17, 3}}) {
    const auto file = folder.path() / "ridge.png";
    renderToFile(ridgeOps(), width, height, ImageFormat::Png, file);
    const Image drawn = renderToImage(ridgeOps(), width, height);
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> read(
        cairo_image_surface_create_from_png(file.string().c_str()), &cairo_surface_destroy);
    ASSERT_EQ(cairo_surface_status(read.get()), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(read.get()), width);
    ASSERT_EQ(cairo_image_surface_get_height(read.get()), height);
    const int stride = cairo_image_surface_get_stride(read.get());
    const unsigned char* data = cairo_image_surface_get_data(read.get());
    int differing = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, data + y * stride + x * 4, sizeof pixel);  // NOLINT: cairo's rows
        const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x);
        differing += (pixel & 0xFFFFFFU) != drawn.pixels[at];
      }
    }
    EXPECT_EQ(differing, 0) << width << " x " << height;
  }
}

TEST(cairo_render_test, nothing_drawn_is_all_background) {
  const TemporaryFolder folder("empty");
  const auto file = folder.path() / "empty.png";
  renderToFile({}, 342, 180, ImageFormat::Png, file);
  const auto image = readPng(file);
  ASSERT_TRUE(image.valid);
  EXPECT_EQ(image.lit, 0);

  // Texts without bytes and lines to their own start leave no mark either.
  canvas::RecordingCanvas canvas;
  canvas.clear();
  canvas.pen(2, canvas::kWhite);
  canvas.moveTo(10, 10);
  canvas.lineTo(10, 10);
  canvas.textOut(50, 50, "");
  renderToFile(canvas.ops(), 342, 180, ImageFormat::Png, file);
  EXPECT_EQ(readPng(file).lit, 0);
}

TEST(cairo_render_test, svg_is_written_at_the_area_size) {
  const TemporaryFolder folder("svg");
  const auto file = folder.path() / "ridge.svg";
  renderToFile(ridgeOps(), 342, 180, ImageFormat::Svg, file);
  std::ifstream in(file);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("<svg"), std::string::npos);
  EXPECT_NE(text.find("width=\"342"), std::string::npos);
  EXPECT_NE(text.find("height=\"180"), std::string::npos);
}

TEST(cairo_render_test, format_comes_from_the_extension) {
  EXPECT_EQ(imageFormatFor("a/b.png"), ImageFormat::Png);
  EXPECT_EQ(imageFormatFor("B.SVG"), ImageFormat::Svg);
  EXPECT_EQ(imageFormatFor("b.jpg"), std::nullopt);
  EXPECT_EQ(imageFormatFor("png"), std::nullopt);
}

TEST(cairo_render_test, unwritable_file_or_empty_size_is_an_error) {
  const TemporaryFolder folder("unwritable");
  const auto missing = folder.path() / "no-such-folder" / "x.png";
  EXPECT_THROW(renderToFile(ridgeOps(), 342, 180, ImageFormat::Png, missing), RenderError);
  EXPECT_THROW(renderToFile(ridgeOps(), 342, 180, ImageFormat::Svg, missing), RenderError);
  EXPECT_THROW(renderToFile({}, 0, 180, ImageFormat::Png, folder.path() / "x.png"), RenderError);
}

}  // namespace
}  // namespace kvm::cairo
