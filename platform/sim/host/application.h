#pragma once

#include <cstdint>
#include <memory>

#include "dispatch/dispatch.h"
#include "platform/sim/host/host_state.h"

namespace kvm::sim {

// The main window handle the simulated application reports.
inline constexpr int32_t kMainWindowHandle = 0x000A02F4;

// The CAD application object, as handed to the component.
class Application : public Dispatch {
 public:
  explicit Application(std::shared_ptr<HostState> state);

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Application"; }

 private:
  DispatchPtr interfaceObject(std::u16string_view programId);

  std::shared_ptr<HostState> state_;
  DispatchPtr vlApplication_;
};

}  // namespace kvm::sim
