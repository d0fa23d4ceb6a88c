#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/host/document.h"
#include "platform/sim/host/host_context.h"
#include "platform/sim/host/menu_groups.h"

namespace kvm::sim {

// The application's side of the simulated host: its version, open documents and menu groups.
struct HostState {
  explicit HostState(script::EventSink& sink) : context(std::make_shared<HostContext>(sink)) {}

  std::shared_ptr<HostContext> context;
  std::u16string version = u"16.2";
  // The program identifiers GetInterfaceObject knows; by default the Visual LISP application
  // of the version's release.
  std::optional<std::vector<std::u16string>> interfaces;
  std::vector<std::shared_ptr<Document>> documents;  // the first is the active one
  std::vector<std::shared_ptr<MenuGroup>> menuGroups;

  // The active document; error 5 when none is open.
  [[nodiscard]] const std::shared_ptr<Document>& activeDocument() const;
};

}  // namespace kvm::sim
