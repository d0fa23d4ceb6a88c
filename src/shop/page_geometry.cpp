#include <algorithm>
#include <cmath>
#include <limits>

#include "shop/page.h"

namespace kvm::shop {

namespace {

double dot(Point a, Point b) {
  return a.x * b.x + a.y * b.y;
}

// The span of the points' projections onto an axis.
template <class Points>
std::pair<double, double> project(const Points& points, Point axis) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const Point& p : points) {
    const double value = dot(p, axis);
    low = std::min(low, value);
    high = std::max(high, value);
  }
  return {low, high};
}

// Separating axes of a convex polygon: its edges' normals, normalised.
template <class Points>
void addAxes(const Points& points, std::vector<Point>& axes) {
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point a = points[i];
    const Point b = points[(i + 1) % n];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length > 1e-12) axes.push_back({-(b.y - a.y) / length, (b.x - a.x) / length});
  }
}

template <class A, class B>
bool separated(const A& a, const B& b, double clearance) {
  std::vector<Point> axes;
  addAxes(a, axes);
  addAxes(b, axes);
  if (axes.empty()) axes.push_back({1, 0});
  if (axes.size() < 2) axes.push_back({-axes[0].y, axes[0].x});
  for (const Point& axis : axes) {
    const auto [aLow, aHigh] = project(a, axis);
    const auto [bLow, bHigh] = project(b, axis);
    if (aHigh + clearance < bLow || bHigh + clearance < aLow) return true;
  }
  return false;
}

}  // namespace

Quad textBox(const TextMetrics& metrics, Point origin, double angle) {
  const Point along{std::cos(angle), std::sin(angle)};
  const Point down{-along.y, along.x};
  const auto at = [&](double u, double v) {
    return Point{origin.x + along.x * u + down.x * v, origin.y + along.y * u + down.y * v};
  };
  return {at(0, -metrics.ascent), at(metrics.width, -metrics.ascent),
          at(metrics.width, metrics.descent), at(0, metrics.descent)};
}

bool quadsOverlap(const Quad& a, const Quad& b, double clearance) {
  return !separated(a, b, clearance);
}

bool segmentTouchesQuad(Point from, Point to, const Quad& quad, double clearance) {
  const std::array<Point, 2> segment{from, to};
  return !separated(segment, quad, clearance);
}

bool quadInside(const Quad& quad, Point topLeft, Point bottomRight) {
  return std::all_of(quad.begin(), quad.end(), [&](const Point& p) {
    return p.x >= topLeft.x && p.x <= bottomRight.x && p.y >= topLeft.y && p.y <= bottomRight.y;
  });
}

Quad boundingQuad(const std::vector<Point>& points) {
  double left = std::numeric_limits<double>::infinity();
  double top = left;
  double right = -left;
  double bottom = -left;
  for (const Point& p : points) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  return {Point{left, top}, Point{right, top}, Point{right, bottom}, Point{left, bottom}};
}

}  // namespace kvm::shop
