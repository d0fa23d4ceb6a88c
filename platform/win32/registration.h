#pragma once

#include "platform/win32/windows_headers.h"

#include <filesystem>
#include <string>

namespace kvm::win32 {

// Where the class is registered: machine-wide (HKEY_LOCAL_MACHINE\Software\Classes), or for
// the current user (HKEY_CURRENT_USER\Software\Classes), which Windows merges into the class
// root for that user. Automatic picks machine-wide when that key may be written.
enum class RegistrationScope : uint8_t { Automatic, MachineWide, PerUser };

std::wstring guidText(const GUID& guid);  // "{XXXXXXXX-...}"

// Writes the ProgID, the class with its in-process server (apartment threading) and the type
// library saved beside the DLL. Throws RuntimeError when the keys cannot be written.
void registerServer(const std::filesystem::path& dll, const std::filesystem::path& typeLibrary,
                    RegistrationScope scope = RegistrationScope::Automatic);

// Removes every key registerServer writes, from both scopes, and the saved type library.
void unregisterServer(const std::filesystem::path& typeLibrary);

// The class keys of one scope, for checking what registration left behind.
HKEY classesRoot(RegistrationScope scope);
inline constexpr const wchar_t* kClassesPath = L"Software\\Classes";

}  // namespace kvm::win32
