#pragma once

#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "dispatch/dispatch.h"
#include "platform/sim/host/drawing_sink.h"
#include "platform/sim/host/host_context.h"
#include "platform/sim/host/shape_objects.h"
#include "platform/sim/host/text_object.h"

namespace kvm::sim {

// A document's model space: the texts added to it, in creation order, and its lines and
// polylines (Count and Item reach the texts).
class ModelSpace : public Dispatch {
 public:
  explicit ModelSpace(std::shared_ptr<const HostContext> context)
      : context_(context), shapes_(std::move(context)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"ModelSpace"; }

  [[nodiscard]] nlohmann::json dump() const;

  // Hands the drawing out so far, texts first, and forgets it: a long drawing job keeps only
  // the part it is working on.
  void handOver(DrawingSink& sink);

 private:
  std::shared_ptr<const HostContext> context_;
  std::vector<std::shared_ptr<TextObject>> texts_;
  ModelSpaceShapes shapes_;
};

}  // namespace kvm::sim
