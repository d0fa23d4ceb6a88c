#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/sim/host/geometry.h"

namespace kvm::sim {

struct LineData {
  Point3 start;
  Point3 end;
  std::u16string layer;
  int32_t color = 256;  // by layer
};

struct Vertex2 {
  double x = 0;
  double y = 0;
  bool operator==(const Vertex2&) const = default;
};

struct PolylineData {
  std::vector<Vertex2> vertices;
  bool closed = false;
  std::u16string layer;
  int32_t color = 256;
};

// Takes the entities of a model space that hands its drawing out (see ModelSpace::handOver).
// A text arrives in the form of the "modelspace" dump.
class DrawingSink {
 public:
  DrawingSink() = default;
  DrawingSink(const DrawingSink&) = delete;
  DrawingSink& operator=(const DrawingSink&) = delete;
  DrawingSink(DrawingSink&&) = delete;
  DrawingSink& operator=(DrawingSink&&) = delete;
  virtual ~DrawingSink() = default;

  virtual void text(const nlohmann::json& text) = 0;
  virtual void line(const LineData& line) = 0;
  virtual void polyline(const PolylineData& polyline) = 0;
};

}  // namespace kvm::sim
