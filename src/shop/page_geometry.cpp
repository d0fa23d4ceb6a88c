#include <algorithm>
#include <array>
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

// Room for the edge normals of two polygons of at most four corners.
struct Axes {
  std::array<Point, 8> items{};
  std::size_t count = 0;
};

// Separating axes of a convex polygon: its edges' normals, normalised.
template <class Points>
void addAxes(const Points& points, Axes& axes) {
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < n && axes.count < axes.items.size(); ++i) {
    const Point a = points[i];
    const Point b = points[(i + 1) % n];
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length > 1e-12) axes.items[axes.count++] = {-(b.y - a.y) / length, (b.x - a.x) / length};
  }
}

// The boxes round both, grown by the clearance, do not meet: no need for the axes.
template <class A, class B>
bool apart(const A& a, const B& b, double clearance) {
  const auto [aLeft, aRight] = project(a, Point{1, 0});
  const auto [bLeft, bRight] = project(b, Point{1, 0});
  if (aRight + clearance < bLeft || bRight + clearance < aLeft) return true;
  const auto [aTop, aBottom] = project(a, Point{0, 1});
  const auto [bTop, bBottom] = project(b, Point{0, 1});
  return aBottom + clearance < bTop || bBottom + clearance < aTop;
}

template <class A, class B>
bool separated(const A& a, const B& b, double clearance) {
  if (apart(a, b, clearance)) return true;
  Axes axes;
  addAxes(a, axes);
  addAxes(b, axes);
  if (axes.count == 0) axes.items[axes.count++] = {1, 0};
  if (axes.count < 2) axes.items[axes.count++] = {-axes.items[0].y, axes.items[0].x};
  for (std::size_t i = 0; i < axes.count; ++i) {
    const Point axis = axes.items[i];
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
