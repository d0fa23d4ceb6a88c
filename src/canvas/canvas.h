#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kvm::canvas {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// The fields of a logical-font record as the device context takes them; the face name is
// text here and becomes ANSI bytes only where a real font is made.
struct LogicalFont {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;  // tenths of a degree, counter-clockwise
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  std::u16string faceName;

  bool operator==(const LogicalFont&) const = default;
};

// The font of the picture box's own printing (face, point size, bold).
struct PrintFont {
  std::u16string face;
  double size = 0.0;  // points
  bool bold = false;

  bool operator==(const PrintFont&) const = default;
};

// Which font a select puts into the device context: the font made last, or the one the
// context had before the drawing began.
enum class FontSelection : uint8_t { Created, Previous };

// Text alignment flags of the device context.
namespace align {
inline constexpr uint32_t kLeft = 0;
inline constexpr uint32_t kRight = 2;
inline constexpr uint32_t kCenter = 6;
inline constexpr uint32_t kTop = 0;
inline constexpr uint32_t kBottom = 8;
inline constexpr uint32_t kBaseline = 24;
inline constexpr uint32_t kHorizontalMask = 6;
inline constexpr uint32_t kVerticalMask = 24;
}  // namespace align

// A picture box's drawing surface: its own clear, pen, colour, printing and refresh, and the
// device-context calls made on it. Coordinates are pixels, y downwards.
class Canvas {
 public:
  Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Canvas(Canvas&&) = delete;
  Canvas& operator=(Canvas&&) = delete;
  virtual ~Canvas() = default;

  // Fills the whole area with its background colour.
  virtual void clear() = 0;
  virtual void pen(int32_t width, Rgb colour) = 0;
  virtual void moveTo(int32_t x, int32_t y) = 0;
  virtual void lineTo(int32_t x, int32_t y) = 0;
  // Makes a font object; it is used only once selected.
  virtual void createFont(const LogicalFont& font) = 0;
  virtual void selectFont(FontSelection which) = 0;
  virtual void setTextAlign(uint32_t flags) = 0;
  virtual void setTextColor(Rgb colour) = 0;
  // Draws ANSI (GBK) bytes at the point, placed by the current alignment.
  virtual void textOut(int32_t x, int32_t y, std::string_view ansiBytes) = 0;
  // The picture box's own printing: the text's top left corner at the point.
  virtual void print(double x, double y, std::u16string_view text, const PrintFont& font) = 0;
  virtual void refresh() = 0;
  // Deletes the oldest font object still alive.
  virtual void deleteFont() = 0;
};

}  // namespace kvm::canvas
