#pragma once

#include <array>
#include <string>
#include <vector>

#include "shop/profile_geometry.h"

namespace kvm::shop {

// Pages are laid out in PDF points, x to the right and y downwards, origin top left.

// The four corners a text covers on the page, in drawing order round it.
using Quad = std::array<Point, 4>;

struct DrawnLine {
  Point from, to;
  double width = 0.5;
  double grey = 0;  // 0 black .. 1 white
};

struct DrawnRect {
  Point corner;  // top left
  double width = 0, height = 0;
  double fillGrey = 1;  // 1: white
  double strokeWidth = 0.5;
};

struct DrawnText {
  std::string text;  // UTF-8
  Point origin;      // the start of the baseline
  double size = 9;   // font size, points
  double angle = 0;  // radians, clockwise on the page (y is downwards)
  bool bold = false;
  Quad box;  // what the text covers, from the font's ascent, descent and advance
};

// A filled polygon, the marker star.
struct DrawnShape {
  std::vector<Point> points;
};

struct Page {
  double width = 0, height = 0;
  std::vector<DrawnRect> rects;
  std::vector<DrawnLine> lines;
  std::vector<DrawnShape> shapes;
  std::vector<DrawnText> texts;
  // What is a drawing rather than furniture: the profile's own lines, which texts keep off.
  std::vector<DrawnLine> profile;
};

struct TextMetrics {
  double width = 0;    // advance, points
  double ascent = 0;   // above the baseline
  double descent = 0;  // below the baseline
};

// How wide and high a text is set in the drawing's face; the PDF writer measures with the
// face it embeds, so the layout's boxes are the drawn ones.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  [[nodiscard]] virtual TextMetrics measure(const std::string& text, double size,
                                            bool bold) const = 0;
};

// The box of a text set at origin with that angle.
Quad textBox(const TextMetrics& metrics, Point origin, double angle);

// Convex quadrilaterals that share any point or lie closer than clearance.
bool quadsOverlap(const Quad& a, const Quad& b, double clearance = 0);

// Whether a segment touches a convex quadrilateral or comes closer than clearance.
bool segmentTouchesQuad(Point from, Point to, const Quad& quad, double clearance = 0);

// Whether a quadrilateral lies wholly inside the rectangle.
bool quadInside(const Quad& quad, Point topLeft, Point bottomRight);

// The box around a polygon's points, as a quadrilateral.
Quad boundingQuad(const std::vector<Point>& points);

}  // namespace kvm::shop
