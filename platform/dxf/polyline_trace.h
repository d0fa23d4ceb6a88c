#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/dxf/plan_geometry.h"
#include "platform/dxf/plan_reader.h"

namespace kvm::dxf {

// A polyline vertex as the drawing gives it: the bulge bends the segment to the next vertex.
struct PolylineVertex {
  Vec3 point;
  double bulge = 0;
};

// The vertices of a polyline kept for drawing later (in a block, drawn once per reference):
// x and y only, with heights only for a 3D polyline and bulges only once one is not zero, so a
// plain outline takes 16 bytes a vertex.
class VertexList {
 public:
  void add(const PolylineVertex& vertex, bool withHeight);
  void clear();
  [[nodiscard]] std::size_t size() const noexcept { return xy_.size() / 2; }
  // A vertex of a 2D polyline stands at the polyline's elevation.
  [[nodiscard]] PolylineVertex at(std::size_t index, double elevation) const;

 private:
  std::vector<double> xy_;
  std::vector<double> heights_;
  std::vector<double> bulges_;
};

// A line straight from `start` to `end`.
FlashingLine straightLine(const Vec3& start, const Vec3& end);
// The image under `map` of the circular arc of `radius` about `centre` from angle `start` over
// `span` radians (either sign).
FlashingLine arcLine(const Transform& map, const Vec3& centre, double radius, double start,
                     double span);

// Turns the vertices of one polyline, handed in order, into its segments in world coordinates,
// keeping only the first and the previous vertex: a polyline of millions of vertices needs no
// more memory than one of two.
class PolylineTrace {
 public:
  // `placed` maps the polyline's coordinates to the world; a 3D polyline (`world`) has no bulges.
  PolylineTrace(const Transform& placed, bool world, bool closed)
      : placed_(placed), world_(world), closed_(closed) {}

  // The segment to this vertex from the one before, where there is one. Returns a problem that
  // leaves the polyline out, empty where there is none.
  std::string_view add(const PolylineVertex& vertex, std::optional<FlashingLine>& segment);
  // The closing segment of a closed polyline; the problem of one with fewer than two vertices.
  std::string_view finish(std::optional<FlashingLine>& segment);

 private:
  std::string_view join(const PolylineVertex& from, const Vec3& to,
                        std::optional<FlashingLine>& segment) const;

  Transform placed_;
  bool world_;
  bool closed_;
  std::size_t count_ = 0;
  PolylineVertex first_;
  PolylineVertex previous_;
};

}  // namespace kvm::dxf
