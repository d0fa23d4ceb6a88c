#pragma once

#include <memory>

#include "dispatch/dispatch.h"
#include "platform/sim/host/host_context.h"

namespace kvm::sim {

// The document's Utility object: only the command line is simulated.
class Utility : public Dispatch {
 public:
  explicit Utility(std::shared_ptr<HostContext> context) : context_(std::move(context)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Utility"; }

 private:
  std::shared_ptr<HostContext> context_;
};

}  // namespace kvm::sim
