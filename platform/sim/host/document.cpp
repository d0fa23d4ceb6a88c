#include "platform/sim/host/document.h"

#include "base/text.h"
#include "platform/sim/host/member_call.h"
#include "platform/sim/lisp/json.h"

namespace kvm::sim {

namespace {

LispEnvironment::SystemVariables lispAccess(const std::shared_ptr<SystemVariables>& variables) {
  return {[variables](std::u16string_view name) { return variables->getLisp(name); },
          [variables](std::u16string_view name, const LispValue& value) {
            return variables->setLisp(name, value);
          }};
}

void defineHostCommands(LispEnvironment& lisp, const std::shared_ptr<HostContext>& context) {
  for (const char16_t* command :
       {u"C:KavelmorList", u"C:KVMPeiCeng", u"C:KVMWanShan", u"C:KVMDanXian"}) {
    const std::string spelled = toUtf8(command);
    lisp.defineHostCommand(command, [context, spelled](const std::vector<LispValue>& args) {
      nlohmann::json values = nlohmann::json::array();
      for (const LispValue& arg : args) {
        values.push_back(lispToJson(arg));
      }
      context->commandCalls.push_back({{"function", spelled}, {"args", std::move(values)}});
      return LispValue();
    });
  }
}

}  // namespace

Document::Document(const std::shared_ptr<HostContext>& context, std::u16string name)
    : name_(std::move(name)),
      systemVariables_(std::make_shared<SystemVariables>()),
      modelSpace_(std::make_shared<ModelSpace>(context)),
      utility_(std::make_shared<Utility>(context)),
      lisp_(std::make_shared<LispEnvironment>(lispAccess(systemVariables_))) {
  defineHostCommands(*lisp_, context);
}

Variant Document::invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) {
  MemberCall call(name, kind, args);
  if (call.get(u"Name")) return name_;
  if (call.get(u"ModelSpace")) return DispatchPtr(modelSpace_);
  if (call.get(u"Utility")) return DispatchPtr(utility_);
  if (call.get(u"GetVariable", 1)) return systemVariables_->get(toString(call.arg(0)));
  if (call.get(u"SetVariable", 2)) {
    systemVariables_->set(toString(call.arg(0)), call.arg(1));
    return {};
  }
  call.fail();
}

}  // namespace kvm::sim
