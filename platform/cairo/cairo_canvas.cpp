#include "platform/cairo/cairo_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/codepage.h"
#include "base/text.h"

namespace kvm::cairo {
namespace {

using canvas::FontSelection;
using canvas::LogicalFont;
using canvas::PrintFont;
using canvas::Rgb;

constexpr double kPixelsPerPoint = 96.0 / 72.0;
// The picture box's own font before any is selected: 宋体 9 points.
constexpr double kDefaultEm = 9.0 * kPixelsPerPoint;
constexpr int32_t kBoldWeight = 700;
// A face's average character width is about half its em (Latin half-width); a logical font's
// width asks for that many pixels, so it stretches or squeezes the glyphs by the ratio.
constexpr double kAverageWidthPerEm = 0.5;

double channel(uint8_t value) {
  return value / 255.0;
}

// Pixel centres sit half a pixel in for lines of odd width.
double lineOffset(int32_t width) {
  return width % 2 == 0 ? 0.0 : 0.5;
}

}  // namespace

CairoCanvas::CairoCanvas(cairo_t* context, double width, double height, std::string fontFamily)
    : context_(context), width_(width), height_(height), fontFamily_(std::move(fontFamily)) {}

void CairoCanvas::setSource(Rgb colour) {
  cairo_set_source_rgb(context_, channel(colour.red), channel(colour.green), channel(colour.blue));
}

void CairoCanvas::clear() {
  cairo_save(context_);
  setSource(canvas::kBlack);
  cairo_rectangle(context_, 0, 0, width_, height_);
  cairo_fill(context_);
  cairo_restore(context_);
}

void CairoCanvas::pen(int32_t width, Rgb colour) {
  penWidth_ = std::max(width, 1);
  penColour_ = colour;
}

void CairoCanvas::moveTo(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
}

void CairoCanvas::lineTo(int32_t x, int32_t y) {
  // A line to the point it starts from draws nothing, as on the device context.
  if (x != x_ || y != y_) {
    const double offset = lineOffset(penWidth_);
    cairo_save(context_);
    setSource(penColour_);
    cairo_set_line_width(context_, penWidth_);
    cairo_set_line_cap(context_, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(context_, x_ + offset, y_ + offset);
    cairo_line_to(context_, x + offset, y + offset);
    cairo_stroke(context_);
    cairo_restore(context_);
  }
  x_ = x;
  y_ = y;
}

void CairoCanvas::createFont(const LogicalFont& font) {
  fonts_.push_back(font);
}

void CairoCanvas::selectFont(FontSelection which) {
  if (which == FontSelection::Previous) {
    selected_.reset();
  } else if (!fonts_.empty()) {
    selected_ = fonts_.back();
  }
}

void CairoCanvas::setTextAlign(uint32_t flags) {
  align_ = flags;
}

void CairoCanvas::setTextColor(Rgb colour) {
  textColour_ = colour;
}

void CairoCanvas::selectFace(bool bold, bool italic, double em, double widthScale) {
  cairo_select_font_face(context_, fontFamily_.c_str(),
                         italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, em * widthScale, em);
  cairo_set_font_matrix(context_, &matrix);
}

double CairoCanvas::emForCell(double cellHeight) {
  cairo_select_font_face(context_, fontFamily_.c_str(), CAIRO_FONT_SLANT_NORMAL,
                         CAIRO_FONT_WEIGHT_NORMAL);
  // Measured large: an image surface rounds font metrics to whole pixels, which at a size of
  // one would make the cell two ems and the text half its height.
  constexpr double kMeasuringSize = 1000.0;
  cairo_set_font_size(context_, kMeasuringSize);
  cairo_font_extents_t extents;
  cairo_font_extents(context_, &extents);
  const double cellPerEm = (extents.ascent + extents.descent) / kMeasuringSize;
  return cellPerEm > 0.0 ? cellHeight / cellPerEm : cellHeight;
}

void CairoCanvas::textOut(int32_t x, int32_t y, std::string_view ansiBytes) {
  const std::string text = toUtf8(fromGbk(ansiBytes));
  if (text.empty()) {
    return;
  }
  cairo_save(context_);
  double em = kDefaultEm;
  double widthScale = 1.0;
  bool bold = false;
  bool italic = false;
  double turn = 0.0;
  if (selected_) {
    const LogicalFont& font = *selected_;
    // A positive height is the cell height, a negative one the em height, 0 the default.
    if (font.height > 0) {
      em = emForCell(font.height);
    } else if (font.height < 0) {
      em = -static_cast<double>(font.height);
    }
    if (font.width > 0) {
      widthScale = font.width / (kAverageWidthPerEm * em);
    }
    bold = font.weight >= kBoldWeight;
    italic = font.italic != 0;
    turn = font.escapement / 10.0 * std::numbers::pi / 180.0;
  }

  cairo_translate(context_, x, y);
  // Escapement turns counter-clockwise on a screen whose y grows downwards.
  cairo_rotate(context_, -turn);
  selectFace(bold, italic, em, widthScale);
  cairo_text_extents_t textExtents;
  cairo_text_extents(context_, text.c_str(), &textExtents);
  cairo_font_extents_t fontExtents;
  cairo_font_extents(context_, &fontExtents);

  double dx = 0.0;
  switch (align_ & canvas::align::kHorizontalMask) {
    case canvas::align::kCenter: dx = -textExtents.x_advance / 2.0; break;
    case canvas::align::kRight: dx = -textExtents.x_advance; break;
    default: break;
  }
  double dy = fontExtents.ascent;
  switch (align_ & canvas::align::kVerticalMask) {
    case canvas::align::kBaseline: dy = 0.0; break;
    case canvas::align::kBottom: dy = -fontExtents.descent; break;
    default: break;
  }
  setSource(textColour_);
  cairo_move_to(context_, dx, dy);
  cairo_show_text(context_, text.c_str());
  cairo_restore(context_);
}

void CairoCanvas::print(double x, double y, std::u16string_view text, const PrintFont& font) {
  const std::string utf8 = toUtf8(text);
  if (utf8.empty()) {
    return;
  }
  cairo_save(context_);
  selectFace(font.bold, false, font.size * kPixelsPerPoint, 1.0);
  cairo_font_extents_t extents;
  cairo_font_extents(context_, &extents);
  setSource(textColour_);
  cairo_move_to(context_, x, y + extents.ascent);
  cairo_show_text(context_, utf8.c_str());
  cairo_restore(context_);
}

void CairoCanvas::refresh() {
  cairo_surface_flush(cairo_get_target(context_));
}

void CairoCanvas::deleteFont() {
  if (!fonts_.empty()) {
    fonts_.pop_front();
  }
}

}  // namespace kvm::cairo
