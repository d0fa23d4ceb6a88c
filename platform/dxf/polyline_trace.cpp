#include "platform/dxf/polyline_trace.h"

#include <cmath>

namespace kvm::dxf {

namespace {

// A polyline bulge smaller than this is a straight segment. Its arc would rise less than a
// nanometre over a metre of chord, while its radius (chord / (4 bulge) and more) reaches past
// 1e14 chord lengths, where the centre worked out from it loses every digit of the arc's ends.
constexpr double kStraightBulge = 1e-9;

}  // namespace

void VertexList::add(const PolylineVertex& vertex, bool withHeight) {
  xy_.push_back(vertex.point.x);
  xy_.push_back(vertex.point.y);
  if (withHeight) {
    heights_.resize(size() - 1);
    heights_.push_back(vertex.point.z);
  }
  if (vertex.bulge != 0 || !bulges_.empty()) {
    bulges_.resize(size() - 1);
    bulges_.push_back(vertex.bulge);
  }
}

void VertexList::clear() {
  xy_.clear();
  heights_.clear();
  bulges_.clear();
}

PolylineVertex VertexList::at(std::size_t index, double elevation) const {
  return {
      {xy_[2 * index], xy_[2 * index + 1], index < heights_.size() ? heights_[index] : elevation},
      index < bulges_.size() ? bulges_[index] : 0.0};
}

FlashingLine straightLine(const Vec3& start, const Vec3& end) {
  return {start, end, norm(end - start)};
}

FlashingLine arcLine(const Transform& map, const Vec3& centre, double radius, double start,
                     double span) {
  const Vec3 u{radius, 0, 0};
  const Vec3 v{0, radius, 0};
  const auto at = [&](double t) { return map.apply(centre + std::cos(t) * u + std::sin(t) * v); };
  return {at(start), at(start + span), arcLength(map, u, v, start, span)};
}

std::string_view PolylineTrace::add(const PolylineVertex& vertex,
                                    std::optional<FlashingLine>& segment) {
  segment.reset();
  std::string_view problem;
  if (count_ == 0) {
    first_ = vertex;
  } else {
    problem = join(previous_, vertex.point, segment);
  }
  previous_ = vertex;
  ++count_;
  return problem;
}

std::string_view PolylineTrace::finish(std::optional<FlashingLine>& segment) {
  segment.reset();
  if (count_ < 2) {
    return count_ == 1 ? "a polyline with 1 vertex" : "a polyline with 0 vertices";
  }
  return closed_ ? join(previous_, first_.point, segment) : std::string_view{};
}

std::string_view PolylineTrace::join(const PolylineVertex& from, const Vec3& to,
                                     std::optional<FlashingLine>& segment) const {
  if (std::abs(from.bulge) < kStraightBulge || world_) {
    segment = straightLine(placed_.apply(from.point), placed_.apply(to));
    return {};
  }
  if (!std::isfinite(from.bulge)) {
    return "a polyline bulge that is not a number";
  }
  // A bulge is the tangent of a quarter of the arc's angle, positive counter-clockwise.
  const Vec3 chord = to - from.point;
  const double length = std::hypot(chord.x, chord.y);
  if (length == 0) {
    segment = straightLine(placed_.apply(from.point), placed_.apply(to));
    return {};
  }
  const double angle = 4 * std::atan(from.bulge);
  const double radius = length / (2 * std::sin(std::abs(angle) / 2));
  const double offset = length / 2 * (1 - from.bulge * from.bulge) / (2 * from.bulge);
  const Vec3 middle = 0.5 * (from.point + to);
  const Vec3 centre{middle.x - offset * chord.y / length, middle.y + offset * chord.x / length,
                    from.point.z};
  const double start = std::atan2(from.point.y - centre.y, from.point.x - centre.x);
  segment = arcLine(placed_, centre, radius, start, angle);
  // The arc ends on the next vertex exactly.
  segment->end = placed_.apply(to);
  return {};
}

}  // namespace kvm::dxf
