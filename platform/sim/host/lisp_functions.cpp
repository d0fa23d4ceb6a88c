#include "platform/sim/host/lisp_functions.h"

#include <limits>

#include "base/text.h"
#include "platform/sim/host/lisp_variant.h"
#include "platform/sim/host/member_call.h"

namespace kvm::sim {

Variant LispFunctions::invoke(std::u16string_view name, InvokeKind kind,
                              std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"Item", 1) || call.get(u"", 1)) {
    return DispatchPtr(std::make_shared<LispFunction>(lisp_, asciiUpper(toString(call.arg(0)))));
  }
  call.fail();
}

Variant LispFunction::invoke(std::u16string_view name, InvokeKind kind,
                             std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"funcall", 0, std::numeric_limits<std::size_t>::max())) {
    std::vector<LispValue> lispArgs;
    lispArgs.reserve(call.count());
    for (const Variant& arg : call.args()) {
      lispArgs.push_back(lispArgument(arg));
    }
    const LispValue result = lisp_->apply(name_, std::move(lispArgs));
    return name_ == u"READ" ? lispReadResult(result) : lispResult(result);
  }
  call.fail();
}

}  // namespace kvm::sim
