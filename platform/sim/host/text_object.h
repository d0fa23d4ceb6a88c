#pragma once

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "dispatch/dispatch.h"
#include "platform/sim/host/geometry.h"
#include "platform/sim/host/host_context.h"

namespace kvm::sim {

// A single-line text in model space with the properties the component sets.
class TextObject : public Dispatch {
 public:
  TextObject(std::shared_ptr<const HostContext> context, std::u16string text, const Point3& point,
             double height);

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Text"; }

  [[nodiscard]] Box3 boundingBox() const;
  // The text as the "modelspace" dump shows it.
  [[nodiscard]] nlohmann::json dump() const;

 private:
  std::u16string tableName(const std::vector<std::u16string>& table, const Variant& value) const;

  std::shared_ptr<const HostContext> context_;
  std::u16string text_;
  Point3 insertion_;
  Point3 alignmentPoint_;
  int32_t alignment_ = 0;
  double height_;
  std::u16string style_ = u"Standard";
  std::u16string layer_ = u"0";
  double scaleFactor_ = 1;
  int32_t color_ = 256;  // by layer
  std::u16string linetype_ = u"ByLayer";
  double linetypeScale_ = 1;
  int32_t lineweight_ = -1;  // by layer
};

}  // namespace kvm::sim
