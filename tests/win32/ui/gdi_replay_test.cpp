#include "platform/win32/ui/gdi_replay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "canvas/recording_canvas.h"
#include "tests/win32/ui/gdi_surface.h"

namespace kvm::win32 {
namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr uint32_t kWhitePixel = 0xFFFFFF;

// A small surface, with the count of its lit pixels.
class Surface : public testing::GdiSurface {
 public:
  Surface() : GdiSurface(kWidth, kHeight) {}

  void replay(const canvas::RecordingCanvas& canvas) { GdiSurface::replay(canvas.ops()); }
  [[nodiscard]] int litPixels() const {
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        lit += at(x, y) != 0 ? 1 : 0;
      }
    }
    return lit;
  }
};

TEST(GdiReplay, lines_light_the_pixels_between_their_ends_on_black) {
  canvas::RecordingCanvas canvas;
  canvas.pen(1, canvas::kWhite);
  canvas.moveTo(4, 10);
  canvas.lineTo(40, 10);
  canvas.lineTo(40, 30);
  Surface surface;
  surface.replay(canvas);
  EXPECT_EQ(surface.at(4, 10), kWhitePixel);
  EXPECT_EQ(surface.at(39, 10), kWhitePixel);
  EXPECT_EQ(surface.at(40, 29), kWhitePixel);
  EXPECT_EQ(surface.at(40, 30), 0U);  // the end point itself stays undrawn
  EXPECT_EQ(surface.at(20, 20), 0U);
  EXPECT_EQ(surface.litPixels(), 36 + 20);
}

TEST(GdiReplay, text_draws_in_its_colour_and_a_deleted_selected_font_is_let_go) {
  canvas::RecordingCanvas canvas;
  canvas::LogicalFont font;
  font.height = -12;
  font.faceName = u"Arial";
  canvas.createFont(font);
  canvas.selectFont(canvas::FontSelection::Created);
  canvas.setTextColor({0, 255, 0});
  canvas.textOut(2, 2, toGbk(u"220"));
  canvas.deleteFont();  // still selected
  canvas.textOut(2, 24, toGbk(u"1:10"));
  Surface surface;
  surface.replay(canvas);
  int green = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      constexpr uint32_t kGreenHalf = 0x008000;
      green += (surface.at(x, y) & 0x00FF00U) >= kGreenHalf ? 1 : 0;
    }
  }
  EXPECT_GT(green, 10);
}

TEST(GdiReplay, a_clear_starts_the_area_black_again) {
  canvas::RecordingCanvas canvas;
  canvas.pen(3, canvas::kWhite);
  canvas.moveTo(0, 0);
  canvas.lineTo(60, 40);
  canvas.clear();
  Surface surface;
  surface.replay(canvas);
  EXPECT_EQ(surface.litPixels(), 0);
}

std::vector<uint32_t> pixelsOfText(std::u16string_view text) {
  canvas::RecordingCanvas canvas;
  canvas::LogicalFont font;  // as the preview makes them: no face, the ANSI character set
  font.height = 20;
  font.width = 6;
  font.weight = 400;
  font.pitchAndFamily = 6;
  canvas.createFont(font);
  canvas.selectFont(canvas::FontSelection::Created);
  canvas.setTextColor(canvas::kWhite);
  canvas.textOut(2, 2, toGbk(text));
  Surface surface;
  surface.replay(canvas);
  std::vector<uint32_t> pixels;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      pixels.push_back(surface.at(x, y));
    }
  }
  return pixels;
}

// Characters no face has draw as the same empty boxes; Chinese ones must draw as themselves.
TEST(GdiReplay, chinese_text_in_a_font_without_a_face_draws_its_glyphs) {
  const std::vector<uint32_t> chinese = pixelsOfText(u"施工");
  const std::vector<uint32_t> otherChinese = pixelsOfText(u"现场");
  EXPECT_NE(chinese, otherChinese);
}

}  // namespace
}  // namespace kvm::win32
