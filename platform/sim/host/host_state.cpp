#include "platform/sim/host/host_state.h"

#include "base/runtime_error.h"

namespace kvm::sim {

const std::shared_ptr<Document>& HostState::activeDocument() const {
  if (documents.empty()) {
    raise(err::kInvalidCall);
  }
  return documents.front();
}

}  // namespace kvm::sim
