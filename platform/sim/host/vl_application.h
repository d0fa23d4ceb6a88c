#pragma once

#include <memory>

#include "dispatch/dispatch.h"
#include "platform/sim/host/host_state.h"
#include "platform/sim/lisp/environment.h"

namespace kvm::sim {

// The Visual LISP application object the host hands out through GetInterfaceObject.
class VLApplication : public Dispatch {
 public:
  explicit VLApplication(std::shared_ptr<const HostState> state) : state_(std::move(state)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"VLApplication"; }

 private:
  std::shared_ptr<const HostState> state_;
};

// A drawing as Visual LISP sees it: the way to its functions.
class VLDocument : public Dispatch {
 public:
  explicit VLDocument(std::shared_ptr<LispEnvironment> lisp) : lisp_(std::move(lisp)) {}

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"VLDocument"; }

 private:
  std::shared_ptr<LispEnvironment> lisp_;
};

}  // namespace kvm::sim
