#include "shop/profile_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvm::shop {

namespace {

// The angle between two segments meeting at a vertex, from their directions: 180 is straight
// on.
double angleBetween(double fromDirection, double toDirection) {
  const double turn = std::remainder(toDirection - fromDirection, 2 * std::numbers::pi);
  return (std::numbers::pi - std::abs(turn)) * 180 / std::numbers::pi;
}

std::vector<Bend> bendsOf(const Flashing& flashing) {
  const std::size_t count = std::min(flashing.SegmentLengths.size(), flashing.SegmentAngles.size());
  std::vector<Bend> bends;
  std::optional<std::size_t> previous;
  for (std::size_t i = 0; i < count; ++i) {
    if (flashing.SegmentLengths[i] == 0 || !std::isfinite(flashing.SegmentAngles[i])) continue;
    if (previous) {
      const double degrees =
          angleBetween(flashing.SegmentAngles[*previous], flashing.SegmentAngles[i]);
      if (180 - degrees >= kStraightOnDegrees) bends.push_back({*previous, i, degrees});
    }
    previous = i;
  }
  return bends;
}

}  // namespace

double unitsPerMillimetre(uint8_t scaleCode) {
  return scaleCode == 5 ? 5.0 : std::max(1, static_cast<int>(scaleCode)) * 10.0;
}

ProfileGeometry profileGeometry(const Flashing& flashing) {
  ProfileGeometry geometry;
  const double units = unitsPerMillimetre(flashing.ScaleCode);
  const std::size_t count = std::min(flashing.SegmentLengths.size(), flashing.SegmentAngles.size());
  Point at{flashing.StartX / units, flashing.StartY / units};
  geometry.vertices.push_back(at);
  for (std::size_t i = 0; i < count; ++i) {
    const double direction = flashing.SegmentAngles[i];
    // A direction that is no number draws the segment along x rather than poisoning the page.
    const double angle = std::isfinite(direction) ? direction : 0.0;
    const double length = std::abs(static_cast<double>(flashing.SegmentLengths[i])) / units;
    const double signedLength = flashing.SegmentLengths[i] / units;
    at = {at.x + signedLength * std::cos(angle), at.y + signedLength * std::sin(angle)};
    geometry.vertices.push_back(at);
    geometry.lengths.push_back(length);
    geometry.girth += length;
  }
  geometry.bends = bendsOf(flashing);
  for (const TextMark& mark : flashing.TextMarks) {
    if (mark.Text == u"*") {
      geometry.star = Point{mark.X / units, mark.Y / units};
      break;
    }
  }
  return geometry;
}

int bendCount(const Flashing& flashing) {
  return static_cast<int>(bendsOf(flashing).size());
}

}  // namespace kvm::shop
