#include "platform/dxf/plan_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvm::dxf {

Vec3 operator+(const Vec3& a, const Vec3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(double s, const Vec3& a) {
  return {s * a.x, s * a.y, s * a.z};
}
double dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double norm(const Vec3& a) {
  return std::sqrt(dot(a, a));
}

Transform Transform::identity() {
  return scaling(1, 1, 1);
}

Transform Transform::scaling(double sx, double sy, double sz) {
  Transform t;
  t.columns_ = {Vec3{sx, 0, 0}, Vec3{0, sy, 0}, Vec3{0, 0, sz}};
  return t;
}

Transform Transform::translation(const Vec3& by) {
  Transform t = identity();
  t.offset_ = by;
  return t;
}

Transform Transform::rotationZ(double degrees) {
  // Exact quarter turns keep axis-aligned drawings exact.
  const double turns = degrees / 90.0;
  double c = 0;
  double s = 0;
  if (turns == std::round(turns)) {
    const auto quarter = static_cast<long long>(std::fmod(std::round(turns), 4.0) + 4) % 4;
    constexpr std::array<double, 4> cosines{1, 0, -1, 0};
    constexpr std::array<double, 4> sines{0, 1, 0, -1};
    c = cosines.at(static_cast<std::size_t>(quarter));
    s = sines.at(static_cast<std::size_t>(quarter));
  } else {
    const double radians = degrees * std::numbers::pi / 180.0;
    c = std::cos(radians);
    s = std::sin(radians);
  }
  Transform t;
  t.columns_ = {Vec3{c, s, 0}, Vec3{-s, c, 0}, Vec3{0, 0, 1}};
  return t;
}

Transform Transform::fromObjectSystem(const Vec3& extrusion) {
  const double length = norm(extrusion);
  if (!(length > 0) || !std::isfinite(length)) {
    return identity();
  }
  const Vec3 n = (1.0 / length) * extrusion;
  if (n.x == 0 && n.y == 0) {
    // The common cases exactly: (0,0,1) is the world, (0,0,-1) mirrors x.
    return n.z > 0 ? identity() : scaling(-1, 1, -1);
  }
  constexpr double kLimit = 1.0 / 64.0;
  Vec3 ax = (std::abs(n.x) < kLimit && std::abs(n.y) < kLimit) ? cross(Vec3{0, 1, 0}, n)
                                                               : cross(Vec3{0, 0, 1}, n);
  ax = (1.0 / norm(ax)) * ax;
  Vec3 ay = cross(n, ax);
  ay = (1.0 / norm(ay)) * ay;
  Transform t;
  t.columns_ = {ax, ay, n};
  return t;
}

Vec3 Transform::applyLinear(const Vec3& v) const {
  return v.x * columns_[0] + v.y * columns_[1] + v.z * columns_[2];
}

Vec3 Transform::apply(const Vec3& point) const {
  return applyLinear(point) + offset_;
}

Transform Transform::after(const Transform& inner) const {
  Transform t;
  for (std::size_t i = 0; i < 3; ++i) {
    t.columns_.at(i) = applyLinear(inner.columns_.at(i));
  }
  t.offset_ = apply(inner.offset_);
  return t;
}

double arcLength(const Transform& map, const Vec3& u, const Vec3& v, double start, double span) {
  const Vec3 a = map.applyLinear(u);
  const Vec3 b = map.applyLinear(v);
  const double aa = dot(a, a);
  const double bb = dot(b, b);
  const double ab = dot(a, b);
  const double scale = std::max(aa, bb);
  if (std::abs(aa - bb) <= 1e-14 * scale && std::abs(ab) <= 1e-14 * scale) {
    return std::sqrt(aa) * std::abs(span);
  }
  // Gauss-Legendre, 8 points on pieces of at most 1/64 turn: far below a micrometre.
  constexpr std::array<double, 4> nodes{0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                        0.9602898564975363};
  constexpr std::array<double, 4> weights{0.3626837833783620, 0.3137066458778873,
                                          0.2223810344533745, 0.1012285362903763};
  const auto pieces =
      static_cast<int>(std::max(8.0, std::ceil(std::abs(span) / (std::numbers::pi / 32))));
  const double width = span / pieces;
  double total = 0;
  for (int piece = 0; piece < pieces; ++piece) {
    const double middle = start + (piece + 0.5) * width;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
      for (const double side : {-1.0, 1.0}) {
        const double t = middle + side * nodes.at(k) * width / 2;
        const Vec3 speed = (-std::sin(t)) * a + std::cos(t) * b;
        total += weights.at(k) * norm(speed);
      }
    }
  }
  return total * std::abs(width) / 2;
}

}  // namespace kvm::dxf
