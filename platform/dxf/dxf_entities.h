#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvm::dxf {

// Drawing units throughout; text rotation in degrees.
struct Point {
  double x = 0;
  double y = 0;
  double z = 0;
};

struct Layer {
  std::u16string name;
  int16_t color = 7;
};

struct TextStyle {
  std::u16string name;
  std::string fontFile;     // a TrueType or shape font the reading program looks up
  std::string bigFontFile;  // empty: none
};

// A single-line text. `alignment` is the CAD object model's (0 left, 1 centre, 2 right on the
// baseline, 3 aligned, 4 middle, 5 fit, 6 to 8 top, 9 to 11 middle, 12 to 14 bottom row); a
// left text stands on `insertion`, every other one on `alignmentPoint`.
struct Text {
  std::u16string text;
  Point insertion;
  Point alignmentPoint;
  int32_t alignment = 0;
  double height = 0;
  double widthFactor = 1;
  double rotation = 0;
  std::u16string style;
  std::u16string layer;
  int32_t color = 256;  // 256 by layer, 0 by block
  std::u16string linetype = u"ByLayer";
};

struct Line {
  Point start;
  Point end;
  std::u16string layer;
  int32_t color = 256;
};

// A 2D polyline; the vertices' z is not written.
struct Polyline {
  std::vector<Point> vertices;
  bool closed = false;
  std::u16string layer;
  int32_t color = 256;
};

// A block definition: lines and polylines drawn about its base point.
struct Block {
  std::u16string name;
  Point base;
  std::vector<Line> lines;
  std::vector<Polyline> polylines;
};

// A reference to a block: its base point on `insertion`, scaled, then turned by `rotation`
// degrees.
struct Insert {
  std::u16string block;
  Point insertion;
  double xScale = 1;
  double yScale = 1;
  double rotation = 0;
  std::u16string layer;
};

struct Tables {
  std::vector<Layer> layers;
  std::vector<TextStyle> styles;
};

}  // namespace kvm::dxf
