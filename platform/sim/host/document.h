#pragma once

#include <memory>
#include <string>

#include "dispatch/dispatch.h"
#include "platform/sim/host/host_context.h"
#include "platform/sim/host/model_space.h"
#include "platform/sim/host/system_variables.h"
#include "platform/sim/host/utility.h"
#include "platform/sim/lisp/environment.h"

namespace kvm::sim {

// An open drawing: its model space, system variables and LISP namespace. The namespace
// knows the host's own commands, which only record that they were called.
class Document : public Dispatch {
 public:
  Document(const std::shared_ptr<HostContext>& context, std::u16string name);

  Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) override;
  [[nodiscard]] std::u16string typeName() const override { return u"Document"; }

  [[nodiscard]] const std::u16string& name() const { return name_; }
  [[nodiscard]] SystemVariables& systemVariables() { return *systemVariables_; }
  [[nodiscard]] const SystemVariables& systemVariables() const { return *systemVariables_; }
  [[nodiscard]] const std::shared_ptr<ModelSpace>& modelSpace() const { return modelSpace_; }
  [[nodiscard]] const std::shared_ptr<LispEnvironment>& lisp() const { return lisp_; }

 private:
  std::u16string name_;
  std::shared_ptr<SystemVariables> systemVariables_;
  std::shared_ptr<ModelSpace> modelSpace_;
  std::shared_ptr<Utility> utility_;
  std::shared_ptr<LispEnvironment> lisp_;
};

}  // namespace kvm::sim
