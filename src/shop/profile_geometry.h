#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "model/flashing.h"

namespace kvm::shop {

struct Point {
  double x = 0;
  double y = 0;
};

// A bend between segment `segment` and the next segment that has a length, at their
// common vertex.
struct Bend {
  std::size_t segment = 0;
  std::size_t next = 0;
  double degrees = 0;  // the angle between the two segments: 90 square, 0 a closed hem
};

// A profile at full size in millimetres, y upwards: vertex i + 1 is the end of segment i.
struct ProfileGeometry {
  std::vector<Point> vertices;
  std::vector<double> lengths;  // mm, one per segment
  std::vector<Bend> bends;
  std::optional<Point> star;  // the marker star, where the detailer put one
  double girth = 0;           // the segments' lengths together, mm
};

// Profile units per millimetre of the flashing: the scale's denominator, as the dimension
// texts of captured profiles read (1:10 labels 2200 units as 220 mm, 1:20 as 110 mm, 1:5 as
// 440 mm).
double unitsPerMillimetre(uint8_t scaleCode);

// Turns smaller than this are taken for a slightly crooked capture, not a bend.
inline constexpr double kStraightOnDegrees = 0.5;

ProfileGeometry profileGeometry(const Flashing& flashing);

// Changes of direction between consecutive segments; segments of no length are skipped.
int bendCount(const Flashing& flashing);

}  // namespace kvm::shop
