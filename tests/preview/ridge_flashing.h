#pragma once

#include <numbers>

#include "model/flashing.h"

namespace kvm::preview::testing {

inline double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}
inline float radiansF(double degrees) {
  return static_cast<float>(radians(degrees));
}

// 屋脊包角, the first flashing of the built-in database, typed in from its published values.
inline Flashing ridgeFlashing() {
  Flashing f;
  f.Name = u"屋脊包角";
  f.MaxCutLength = 4000;
  f.Overlap = 100;
  f.Color = u"天蓝色";
  f.EndExtension = 100;
  f.LengthFactor = 1.0F;
  f.DevelopedWidth = 500;
  f.ScaleCode = 1;
  f.StartX = -2400;
  f.StartY = -317;
  f.SegmentLengths = {2200, 300, 300, 2200};
  f.SegmentAngles = {radians(6), radians(45), radians(315), radians(354)};
  f.TextMarks = {TextMark{u"*", -1190, 167, radiansF(6), 0.8F}};
  auto linear = [](int16_t p1x, int16_t p1y, int16_t p2x, int16_t p2y, uint8_t style,
                   const char16_t* text, uint8_t a, uint8_t b, int16_t tx, int16_t ty,
                   uint8_t atPoint, double angle) {
    DimensionMark m;
    m.Kind = kLinearDimension;
    m.P1X = p1x;
    m.P1Y = p1y;
    m.P2X = p2x;
    m.P2Y = p2y;
    m.Style = style;
    m.Text = text;
    m.VertexA = a;
    m.VertexB = b;
    m.TextX = tx;
    m.TextY = ty;
    m.TextAtPoint = atPoint;
    m.TextAngle = radiansF(angle);
    return m;
  };
  DimensionMark angular;
  angular.Kind = kAngularDimension;
  angular.P1X = 3;
  angular.P2X = 450;
  angular.P2Y = 412;
  angular.Style = 0x22;
  angular.Text = u"141°";
  angular.VertexA = 3;
  angular.VertexB = 2;
  angular.VertexC = 4;
  angular.ArcX = 403;
  angular.ArcY = 79;
  angular.TextX = 386;
  angular.TextY = 276;
  angular.TextAtPoint = 1;
  angular.TextAngle = radiansF(334.5);
  f.DimensionMarks = {
      linear(265, -34, -10, -241, 0xA1, u"30", 2, 3, 96, -135, 0, 315),
      linear(-2333, -959, -1270, -545, 0x21, u"220", 1, 0, -1286, -396, 0, 6),
      linear(-78, 203, -397, 309, 0x21, u"30", 1, 2, -291, 203, 1, 45),
      linear(2333, -957, 1270, -544, 0x21, u"220", 3, 4, 1286, -395, 0, 354),
      angular,
  };
  return f;
}

}  // namespace kvm::preview::testing
