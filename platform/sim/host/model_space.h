#pragma once

#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "dispatch/dispatch.h"
#include "platform/sim/host/host_context.h"
#include "platform/sim/host/text_object.h"

namespace kvm::sim {

// A document's model space: the texts added to it, in creation order.
class ModelSpace : public Dispatch {
 public:
  explicit ModelSpace(std::shared_ptr<const HostContext> context) : context_(std::move(context)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"ModelSpace"; }

  [[nodiscard]] nlohmann::json dump() const;

 private:
  std::shared_ptr<const HostContext> context_;
  std::vector<std::shared_ptr<TextObject>> texts_;
};

}  // namespace kvm::sim
