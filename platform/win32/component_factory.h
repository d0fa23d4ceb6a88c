#pragma once

#include <memory>

#include "dispatch/dispatch.h"
#include "session/process.h"

namespace kvm::win32 {

// The component the server hands out; the DLL links the real one, test servers their own.
DispatchPtr createServerComponent(std::shared_ptr<ProcessContext> process);

}  // namespace kvm::win32
