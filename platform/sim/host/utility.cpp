#include "platform/sim/host/utility.h"

#include "base/text.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

Variant Utility::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"Prompt", 1)) {
    context_->events.emit({{"prompt", toUtf8(toString(call.arg(0)))}});
    return {};
  }
  call.fail();
}

}  // namespace kvm::sim
