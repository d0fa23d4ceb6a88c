#pragma once

#include "platform/win32/windows_headers.h"

#include "platform/win32/com_ptr.h"

namespace kvm::win32 {

// IDispatch's type information from the system's standard OLE library: the base of every
// dispatch interface a type library built here declares. Throws RuntimeError when the system
// has none registered.
ComPtr<ITypeInfo> dispatchBaseType();

}  // namespace kvm::win32
