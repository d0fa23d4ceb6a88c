#include "platform/sim/host/application.h"

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/sim/host/member_call.h"
#include "platform/sim/host/named_collection.h"
#include "platform/sim/host/vl_application.h"

namespace kvm::sim {

Application::Application(std::shared_ptr<HostState> state)
    : state_(std::move(state)), vlApplication_(std::make_shared<VLApplication>(state_)) {}

// Each host release registers only its own Visual LISP interface: "VL.Application.1" for the
// releases numbered 15, "VL.Application.16" for the later ones.
DispatchPtr Application::interfaceObject(std::u16string_view programId) {
  const bool release15 = state_->version.substr(0, 2) == u"15";
  const std::vector<std::u16string> ownRelease{release15 ? u"VL.Application.1"
                                                         : u"VL.Application.16"};
  const auto& registered = state_->interfaces ? *state_->interfaces : ownRelease;
  for (const auto& known : registered) {
    if (equalsIgnoringAsciiCase(programId, known)) {
      return vlApplication_;
    }
  }
  raise(err::kInvalidCall, u"Problem in loading application");
}

Variant Application::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"ActiveDocument")) return DispatchPtr(state_->activeDocument());
  if (call.get(u"Documents")) {
    return DispatchPtr(
        std::make_shared<NamedCollection<Document>>(u"Documents", state_->documents));
  }
  if (call.get(u"Version")) return state_->version;
  if (call.get(u"hwnd")) return kMainWindowHandle;
  if (call.get(u"GetInterfaceObject", 1)) return interfaceObject(toString(call.arg(0)));
  if (call.get(u"MenuGroups")) {
    return DispatchPtr(
        std::make_shared<NamedCollection<MenuGroup>>(u"MenuGroups", state_->menuGroups));
  }
  // Redrawing the screen has nothing to show here.
  if (call.get(u"Update")) return {};
  call.fail();
}

}  // namespace kvm::sim
