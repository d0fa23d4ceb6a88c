#include "platform/sim/host/shape_objects.h"

#include <cmath>

#include "base/runtime_error.h"

namespace kvm::sim {

namespace {

// AddLightWeightPolyline's vertex list: x and y of each vertex, at least two vertices.
std::vector<Vertex2> vertexList(const Variant& value) {
  if (!value.isArray()) {
    raise(err::kTypeMismatch);
  }
  const auto& elements = value.arrayValue().elements;
  if (elements.size() < 4 || elements.size() % 2 != 0) {
    raise(err::kInvalidCall);
  }
  std::vector<Vertex2> vertices;
  vertices.reserve(elements.size() / 2);
  for (std::size_t i = 0; i < elements.size(); i += 2) {
    vertices.push_back({toDouble(elements[i]), toDouble(elements[i + 1])});
  }
  return vertices;
}

Variant coordinates(const std::vector<Vertex2>& vertices) {
  std::vector<double> values;
  values.reserve(vertices.size() * 2);
  for (const Vertex2& vertex : vertices) {
    values.push_back(vertex.x);
    values.push_back(vertex.y);
  }
  return Variant::doubles(values);
}

}  // namespace

bool ShapeProperties::handle(MemberCall& call, Variant& result) {
  if (call.get(u"Layer")) {
    result = layer_;
    return true;
  }
  if (call.put(u"Layer")) {
    std::optional<std::u16string> name = findTableName(context_->layers, toString(call.value()));
    if (!name) {
      raise(err::kInvalidCall, u"Key not found");
    }
    layer_ = *std::move(name);
    result = {};
    return true;
  }
  if (call.get(u"color")) {
    result = color_;
    return true;
  }
  if (call.put(u"color")) {
    const int32_t color = toLong(call.value());
    if (color < 0 || color > 256) {
      raise(err::kInvalidCall);
    }
    color_ = color;
    result = {};
    return true;
  }
  return false;
}

LineObject::LineObject(std::shared_ptr<const HostContext> context, const Point3& start,
                       const Point3& end)
    : properties_(std::move(context)), start_(start), end_(end) {}

Variant LineObject::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  Variant result;
  if (properties_.handle(call, result)) return result;
  if (call.get(u"StartPoint")) return pointValue(start_);
  if (call.put(u"StartPoint")) {
    start_ = pointArgument(call.value());
    return {};
  }
  if (call.get(u"EndPoint")) return pointValue(end_);
  if (call.put(u"EndPoint")) {
    end_ = pointArgument(call.value());
    return {};
  }
  if (call.get(u"Length")) {
    return std::hypot(end_.x - start_.x, end_.y - start_.y, end_.z - start_.z);
  }
  if (call.get(u"ObjectName")) return Variant(u"AcDbLine");
  call.fail();
}

PolylineObject::PolylineObject(std::shared_ptr<const HostContext> context,
                               std::vector<Vertex2> vertices)
    : properties_(std::move(context)), vertices_(std::move(vertices)) {}

Variant PolylineObject::invoke(std::u16string_view name, InvokeKind kind,
                               std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  Variant result;
  if (properties_.handle(call, result)) return result;
  if (call.get(u"Coordinates")) return coordinates(vertices_);
  if (call.get(u"Closed")) return closed_;
  if (call.put(u"Closed")) {
    closed_ = toBoolean(call.value());
    return {};
  }
  if (call.get(u"ObjectName")) return Variant(u"AcDbPolyline");
  call.fail();
}

std::optional<Variant> ModelSpaceShapes::add(MemberCall& call) {
  if (call.get(u"AddLine", 2)) {
    auto line = std::make_shared<LineObject>(context_, pointArgument(call.arg(0)),
                                             pointArgument(call.arg(1)));
    shapes_.emplace_back(line);
    return Variant(DispatchPtr(std::move(line)));
  }
  if (call.get(u"AddLightWeightPolyline", 1)) {
    auto polyline = std::make_shared<PolylineObject>(context_, vertexList(call.arg(0)));
    shapes_.emplace_back(polyline);
    return Variant(DispatchPtr(std::move(polyline)));
  }
  return std::nullopt;
}

void ModelSpaceShapes::handOver(DrawingSink& sink) {
  for (const auto& shape : shapes_) {
    if (const auto* line = std::get_if<std::shared_ptr<LineObject>>(&shape)) {
      sink.line((*line)->data());
    } else {
      sink.polyline(std::get<std::shared_ptr<PolylineObject>>(shape)->data());
    }
  }
  shapes_.clear();
  shapes_.shrink_to_fit();
}

}  // namespace kvm::sim
