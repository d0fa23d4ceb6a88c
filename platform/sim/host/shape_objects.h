#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dispatch/dispatch.h"
#include "platform/sim/host/drawing_sink.h"
#include "platform/sim/host/host_context.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

// What lines and polylines share: the layer (one of the drawing's) and the colour.
class ShapeProperties {
 public:
  explicit ShapeProperties(std::shared_ptr<const HostContext> context)
      : context_(std::move(context)) {}

  // Handles Layer and color; false for any other member.
  bool handle(MemberCall& call, Variant& result);

  [[nodiscard]] const std::u16string& layer() const { return layer_; }
  [[nodiscard]] int32_t color() const { return color_; }

 private:
  std::shared_ptr<const HostContext> context_;
  std::u16string layer_ = u"0";
  int32_t color_ = 256;  // by layer
};

// A line in model space (AddLine).
class LineObject : public Dispatch {
 public:
  LineObject(std::shared_ptr<const HostContext> context, const Point3& start, const Point3& end);

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Line"; }

  [[nodiscard]] LineData data() const {
    return {start_, end_, properties_.layer(), properties_.color()};
  }

 private:
  ShapeProperties properties_;
  Point3 start_;
  Point3 end_;
};

// A lightweight polyline in model space (AddLightWeightPolyline): 2D vertices, open or
// closed.
class PolylineObject : public Dispatch {
 public:
  PolylineObject(std::shared_ptr<const HostContext> context, std::vector<Vertex2> vertices);

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"LWPolyline"; }

  [[nodiscard]] PolylineData data() const {
    return {vertices_, closed_, properties_.layer(), properties_.color()};
  }

 private:
  ShapeProperties properties_;
  std::vector<Vertex2> vertices_;
  bool closed_ = false;
};

// The lines and polylines of a model space, in creation order.
class ModelSpaceShapes {
 public:
  explicit ModelSpaceShapes(std::shared_ptr<const HostContext> context)
      : context_(std::move(context)) {}

  // AddLine(start, end) and AddLightWeightPolyline(coordinates): the new object, or nullopt
  // for any other member.
  std::optional<Variant> add(MemberCall& call);

  // Passes every shape to the sink and forgets them.
  void handOver(DrawingSink& sink);

 private:
  std::shared_ptr<const HostContext> context_;
  std::vector<std::variant<std::shared_ptr<LineObject>, std::shared_ptr<PolylineObject>>> shapes_;
};

}  // namespace kvm::sim
