#include "platform/sim/host/vl_application.h"

#include "platform/sim/host/lisp_functions.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

Variant VLApplication::invoke(std::u16string_view name, InvokeKind kind,
                              std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"ActiveDocument")) {
    return DispatchPtr(std::make_shared<VLDocument>(state_->activeDocument()->lisp()));
  }
  call.fail();
}

Variant VLDocument::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"Functions")) return DispatchPtr(std::make_shared<LispFunctions>(lisp_));
  call.fail();
}

}  // namespace kvm::sim
