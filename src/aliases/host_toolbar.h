#pragma once

#include "dispatch/dispatch.h"

namespace kvm {

// The system's toolbar in the host: in the menu group named "QORNCAD", the toolbar tagged
// "ID_KVM" (both compared in upper case). Null when either is missing; object-model failures
// are thrown.
DispatchPtr findSystemToolbar(const DispatchPtr& application);

}  // namespace kvm
