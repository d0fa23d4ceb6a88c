#pragma once

#include <cairo.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "canvas/canvas.h"

namespace kvm::cairo {

// A CJK face that the distribution ships; the dialog's own 宋体 is not there.
inline constexpr const char* kDefaultFontFamily = "WenQuanYi Micro Hei";

// Draws canvas calls onto a cairo context, the way the picture box's device context would:
// a black background, pens of whole pixels, logical fonts sized by their cell height and
// turned by their escapement, text placed by the alignment flags. The context stays the
// caller's.
class CairoCanvas final : public canvas::Canvas {
 public:
  CairoCanvas(cairo_t* context, double width, double height,
              std::string fontFamily = kDefaultFontFamily);

  void clear() override;
  void pen(int32_t width, canvas::Rgb colour) override;
  void moveTo(int32_t x, int32_t y) override;
  void lineTo(int32_t x, int32_t y) override;
  void createFont(const canvas::LogicalFont& font) override;
  void selectFont(canvas::FontSelection which) override;
  void setTextAlign(uint32_t flags) override;
  void setTextColor(canvas::Rgb colour) override;
  void textOut(int32_t x, int32_t y, std::string_view ansiBytes) override;
  void print(double x, double y, std::u16string_view text, const canvas::PrintFont& font) override;
  void refresh() override;
  void deleteFont() override;

 private:
  void setSource(canvas::Rgb colour);
  // Chooses the face at this em size, its glyphs stretched across by widthScale.
  void selectFace(bool bold, bool italic, double em, double widthScale);
  // The em size at which the face's ascent and descent together are cellHeight pixels.
  double emForCell(double cellHeight);

  cairo_t* context_;
  double width_;
  double height_;
  std::string fontFamily_;
  int32_t penWidth_ = 1;
  canvas::Rgb penColour_ = canvas::kWhite;
  canvas::Rgb textColour_ = canvas::kWhite;
  uint32_t align_ = 0;
  int32_t x_ = 0;
  int32_t y_ = 0;
  std::deque<canvas::LogicalFont> fonts_;
  std::optional<canvas::LogicalFont> selected_;
};

}  // namespace kvm::cairo
