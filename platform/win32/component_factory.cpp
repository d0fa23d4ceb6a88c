#include "platform/win32/component_factory.h"

#include "host/component.h"

namespace kvm::win32 {

DispatchPtr createServerComponent(std::shared_ptr<ProcessContext> process) {
  return createComponent(std::move(process));
}

}  // namespace kvm::win32
