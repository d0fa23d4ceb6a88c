#include "preview/profile_preview.h"

#include <cmath>
#include <new>
#include <optional>
#include <string>

#include "base/codepage.h"
#include "base/numbers.h"
#include "base/runtime_error.h"

namespace kvm::preview {
namespace {

// Baseline and horizontal centre.
constexpr uint32_t kCentredOnBaseline = canvas::align::kBaseline | canvas::align::kCenter;
constexpr int32_t kFontHeight = 20;
constexpr int32_t kNormalWeight = 400;
constexpr int32_t kDoubleByteTextWidth = 6;
constexpr int32_t kDimensionWidth = 7;
constexpr uint8_t kDoubleBytePitchAndFamily = 6;
constexpr double kTextOffsetPixels = 6.0;
constexpr double kDimensionOffsetPixels = 12.0;

constexpr canvas::Rgb kGreen{0, 255, 0};
constexpr canvas::Rgb kRed{255, 0, 0};
constexpr canvas::Rgb kMagenta{255, 0, 255};

// Integer arithmetic of the drawing is 16-bit: a result outside it is an overflow.
int16_t checked16(int32_t value) {
  if (value < INT16_MIN || value > INT16_MAX) {
    raise(err::kOverflow);
  }
  return static_cast<int16_t>(value);
}

// The fonts made for one drawing. Whatever way the drawing ends, the font the area had before
// goes back into the device context and every font made is deleted.
class DrawingFonts {
 public:
  explicit DrawingFonts(canvas::Canvas& canvas) : canvas_(canvas) {}

  void use(const canvas::LogicalFont& font) {
    canvas_.createFont(font);
    ++created_;
    canvas_.selectFont(canvas::FontSelection::Created);
    selected_ = true;
  }

  void release() {
    if (selected_) {
      canvas_.selectFont(canvas::FontSelection::Previous);
      selected_ = false;
    }
    for (; created_ > 0; --created_) {
      canvas_.deleteFont();
    }
  }

 private:
  canvas::Canvas& canvas_;
  int created_ = 0;
  bool selected_ = false;
};

// The profile units that make this many pixels; an area without width has none to give.
int16_t unitsForPixels(double pixels, double scale) {
  if (scale == 0.0) {
    raise(err::kDivisionByZero);
  }
  return toIntegerRounded(pixels / scale);
}

canvas::LogicalFont textFont(int32_t escapement, int32_t width, uint8_t pitchAndFamily) {
  canvas::LogicalFont font;
  font.height = kFontHeight;
  font.width = width;
  font.escapement = escapement;
  font.weight = kNormalWeight;
  font.pitchAndFamily = pitchAndFamily;
  return font;
}

// The sizes and scale of one drawing, in whole pixels as the area reports them.
struct Frame {
  int16_t width = 0;
  int16_t height = 0;
  double scale = 0.0;  // pixels per profile unit
  int16_t cx = 0;
  int16_t cy = 0;
};

Frame frameOf(const PreviewArea& area) {
  Frame frame;
  frame.width = toIntegerRounded(area.innerWidth());
  frame.height = toIntegerRounded(area.innerHeight());
  frame.scale = frame.width / kProfileUnitsAcross;
  frame.cx = toIntegerRounded(frame.width * 0.5);
  frame.cy = toIntegerRounded(frame.height * 0.5);
  return frame;
}

void drawOutline(const Flashing& flashing, const Frame& frame, canvas::Canvas& canvas) {
  canvas.pen(2, canvas::kWhite);
  Point16 p{toIntegerRounded(flashing.StartX * frame.scale + frame.cx),
            toIntegerRounded(flashing.StartY * frame.scale + frame.cy)};
  canvas.moveTo(p.x, checked16(frame.height - p.y));
  const int32_t last = flashing.SegmentLengths.upperBound();
  for (int32_t i = 0; i <= last; ++i) {
    const auto index = static_cast<std::size_t>(i);
    const int16_t d = toIntegerRounded(flashing.SegmentLengths[index] * frame.scale);
    p = polarPoint(p, flashing.SegmentAngles[index], d);
    canvas.lineTo(p.x, checked16(frame.height - p.y));
  }
}

// Degrees counter-clockwise in tenths, worked in single precision like the angle itself.
int32_t escapementOf(float angle, float pi) {
  const float tenths = angle * 180.0F / pi * 10.0F;
  return toLongRounded(static_cast<double>(tenths));
}

void drawStar(const TextMark& mark, const Frame& frame, PreviewArea& area) {
  const int16_t mx = toIntegerRounded(mark.X * frame.scale);
  const int16_t my = toIntegerRounded(mark.Y * frame.scale);
  const MarkTemplate before = area.markTemplate();
  area.moveMarkTemplate(mx - before.width / 2 + frame.cx,
                        checked16(frame.cy - my) - before.height / 2);
  const MarkTemplate star = area.markTemplate();
  area.canvas().print(star.left, star.top, u"*", canvas::PrintFont{star.face, star.size, true});
}

void drawText(const TextMark& mark, const Frame& frame, float pi, canvas::Canvas& canvas,
              DrawingFonts& fonts) {
  const std::string bytes = toGbk(mark.Text);
  const bool singleByte = bytes.size() == mark.Text.size();
  fonts.use(textFont(escapementOf(mark.Angle, pi), singleByte ? 0 : kDoubleByteTextWidth,
                     singleByte ? 0 : kDoubleBytePitchAndFamily));
  canvas.setTextAlign(kCentredOnBaseline);
  const Point16 anchor = polarPoint({mark.X, mark.Y}, static_cast<double>(mark.Angle - pi / 2.0F),
                                    unitsForPixels(kTextOffsetPixels, frame.scale));
  canvas.textOut(toLongRounded(anchor.x * frame.scale + frame.cx),
                 toLongRounded(frame.cy - anchor.y * frame.scale), bytes);
}

void drawDimension(const DimensionMark& mark, const Frame& frame, float pi, canvas::Canvas& canvas,
                   DrawingFonts& fonts) {
  fonts.use(textFont(escapementOf(mark.TextAngle, pi), kDimensionWidth, 0));
  Point16 anchor{mark.TextX, mark.TextY};
  if (mark.TextAtPoint == 0) {
    anchor = polarPoint(anchor, static_cast<double>(mark.TextAngle - pi / 2.0F),
                        unitsForPixels(kDimensionOffsetPixels, frame.scale));
  }
  canvas.textOut(toLongRounded(anchor.x * frame.scale + frame.cx),
                 toLongRounded(frame.height - anchor.y * frame.scale - frame.cy), toGbk(mark.Text));
}

void drawAll(const Flashing& flashing, PreviewArea& area, DrawingFonts& fonts) {
  canvas::Canvas& canvas = area.canvas();
  canvas.clear();
  const Frame frame = frameOf(area);
  drawOutline(flashing, frame, canvas);

  const auto pi = static_cast<float>(4.0 * std::atan(1.0));
  canvas.setTextColor(canvas::kWhite);
  canvas.pen(1, canvas::kWhite);
  const int32_t lastText = flashing.TextMarks.upperBound();
  for (int32_t i = 0; i <= lastText; ++i) {
    const TextMark& mark = flashing.TextMarks[static_cast<std::size_t>(i)];
    if (mark.Text == u"*") {
      drawStar(mark, frame, area);
    } else {
      drawText(mark, frame, pi, canvas, fonts);
    }
  }

  const canvas::Rgb colour = scaleColour(flashing.ScaleCode);
  canvas.setTextColor(colour);
  area.setScaleLabelColor(colour);

  canvas.setTextAlign(kCentredOnBaseline);
  const int32_t lastDimension = flashing.DimensionMarks.upperBound();
  for (int32_t i = 0; i <= lastDimension; ++i) {
    drawDimension(flashing.DimensionMarks[static_cast<std::size_t>(i)], frame, pi, canvas, fonts);
  }
}

}  // namespace

Point16 polarPoint(Point16 point, double angle, int16_t distance) {
  return {toIntegerRounded(distance * std::cos(angle) + point.x),
          toIntegerRounded(distance * std::sin(angle) + point.y)};
}

canvas::Rgb scaleColour(uint8_t scaleCode) {
  switch (scaleCode) {
    case 1: return kGreen;
    case 2: return kRed;
    default: return kMagenta;
  }
}

void drawPreview(const Flashing& flashing, PreviewArea& area, Ui& ui) {
  DrawingFonts fonts(area.canvas());
  std::optional<std::u16string> failure;
  try {
    drawAll(flashing, area, fonts);
  } catch (const RuntimeError& error) {
    failure = error.description();
  } catch (const std::bad_alloc&) {
    failure = standardDescription(err::kOutOfMemory);
  }
  // Shown after a failure too, so that what was drawn stays visible.
  area.canvas().refresh();
  fonts.release();
  if (failure) {
    showErrorDescription(ui, *failure);
  }
}

void showFlashingPreview(const Flashing& flashing, PreviewArea& area, Ui& ui) {
  if (!flashing.hasProfile()) {
    area.canvas().clear();
    return;
  }
  drawPreview(flashing, area, ui);
}

}  // namespace kvm::preview
