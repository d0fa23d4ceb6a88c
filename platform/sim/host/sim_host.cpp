#include "platform/sim/host/sim_host.h"

#include "base/text.h"
#include "platform/sim/host/application.h"
#include "platform/sim/host/host_state.h"
#include "platform/sim/lisp/json.h"

namespace kvm::sim {

SimHost::SimHost(script::EventSink& events) : state_(std::make_shared<HostState>(events)) {
  state_->documents.push_back(std::make_shared<Document>(state_->context, u"Drawing1.dwg"));
  application_ = std::make_shared<Application>(state_);
}

SimHost::~SimHost() = default;

bool SimHost::topLevelWindowAfter(std::intptr_t afterWindow, std::u16string_view title) const {
  // Searching from the top of the window order (no window to start after) passes the main
  // window too, whose title is no document's.
  if (afterWindow != 0 && afterWindow != kMainWindowHandle) {
    return false;
  }
  for (const std::u16string& window : windows_) {
    if (window == title) {
      return true;
    }
  }
  return false;
}

nlohmann::json SimHost::dumpModelSpace() const {
  if (state_->documents.empty()) {
    return nlohmann::json::array();
  }
  return state_->documents.front()->modelSpace()->dump();
}

std::shared_ptr<ModelSpace> SimHost::activeModelSpace() const {
  return state_->documents.empty() ? nullptr : state_->documents.front()->modelSpace();
}

nlohmann::json SimHost::dumpSysvars() const {
  if (state_->documents.empty()) {
    return nlohmann::json::object();
  }
  return state_->documents.front()->systemVariables().dump();
}

nlohmann::json SimHost::dumpLisp() const {
  nlohmann::json variables = nlohmann::json::object();
  nlohmann::json functions = nlohmann::json::array();
  if (!state_->documents.empty()) {
    const LispEnvironment& lisp = *state_->documents.front()->lisp();
    for (const auto& [name, value] : lisp.variables()) {
      variables[toUtf8(name)] = lispToJson(value);
    }
    for (const std::u16string& name : lisp.functionNames()) {
      functions.push_back(toUtf8(name));
    }
  }
  return {{"variables", std::move(variables)}, {"functions", std::move(functions)}};
}

nlohmann::json SimHost::dumpHost() const {
  nlohmann::json groups = nlohmann::json::array();
  for (const auto& group : state_->menuGroups) {
    groups.push_back(group->dump());
  }
  return {{"menugroups", std::move(groups)}, {"calls", state_->context->commandCalls}};
}

}  // namespace kvm::sim
