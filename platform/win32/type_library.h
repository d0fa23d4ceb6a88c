#pragma once

#include "platform/win32/windows_headers.h"

#include <filesystem>

#include "platform/win32/com_ptr.h"

namespace kvm::win32 {

// The type library "Kavelmor": the dispatch interface `_clsKavelmor` with its members in
// interface order (DISPID = position + 1), parameter names and types, and the creatable
// class `clsKavelmor`. Built with the system's own type-library writer from the member
// table, so the type information can never disagree with what Invoke accepts.

// Builds the library in memory; file is where saving would write it.
ComPtr<ICreateTypeLib2> buildTypeLibrary(const std::filesystem::path& file);

// The type information of `_clsKavelmor` (built in memory, no file needed).
ComPtr<ITypeInfo> buildInterfaceTypeInfo();

// Writes the library to file and registers it (machine-wide, or for the user when that is
// refused). Throws RuntimeError on failure.
void saveAndRegisterTypeLibrary(const std::filesystem::path& file);
void unregisterTypeLibrary();

}  // namespace kvm::win32
