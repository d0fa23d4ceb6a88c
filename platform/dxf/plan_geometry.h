#pragma once

#include <array>

namespace kvm::dxf {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(double s, const Vec3& a);
double dot(const Vec3& a, const Vec3& b);
Vec3 cross(const Vec3& a, const Vec3& b);
double norm(const Vec3& a);

// An affine map of space: a 3 × 3 linear part (columns are the images of the axes) and a
// translation.
class Transform {
 public:
  static Transform identity();
  static Transform scaling(double sx, double sy, double sz);
  static Transform translation(const Vec3& by);
  static Transform rotationZ(double degrees);
  // From an entity's object coordinate system (its extrusion direction) to world coordinates,
  // by the arbitrary axis rule of the format.
  static Transform fromObjectSystem(const Vec3& extrusion);

  [[nodiscard]] Vec3 apply(const Vec3& point) const;
  [[nodiscard]] Vec3 applyLinear(const Vec3& vector) const;
  // This map after `inner`: p -> this(inner(p)).
  [[nodiscard]] Transform after(const Transform& inner) const;

 private:
  std::array<Vec3, 3> columns_{};
  Vec3 offset_;
};

// The length of the image under `map` of the circular arc centre + cos t·u + sin t·v for t
// from `start` over `span` radians (either sign); u and v are the radius vectors of its plane.
// Exact where the map keeps circles circles; numerically integrated where it makes them
// ellipses.
double arcLength(const Transform& map, const Vec3& u, const Vec3& v, double start, double span);

}  // namespace kvm::dxf
