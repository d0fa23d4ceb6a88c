#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "dispatch/dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "session/process.h"

namespace kvm::win32 {

using ComponentFactory = std::function<DispatchPtr(std::shared_ptr<ProcessContext>)>;

// Makes the component the way the CAD host does, through COM, for a program that otherwise
// makes it in-process (the script runner's --com mode). Each call:
// - registers the server DLL (machine-wide where it may, else for the user) the first time,
// - points the DLL's program directory at the context's root (the DLL reads `systemdrive`
//   when it makes its own process context) and installs the context's desktop in the DLL,
// - creates `Kavelmor.clsKavelmor` by its ProgID in this thread's apartment.
// The DLL keeps its own settings store in the registry; the caller should use the same.
// The calling thread must be in a single-threaded apartment (see ComApartment).
// With `played`, the DLL shows its dialogs and message boxes on real windows and reports them
// (see played_desktop.h); the context's desktop then only answers the rest.
ComponentFactory comComponentFactory(std::filesystem::path serverDll,
                                     const std::optional<DialogReports>& played = std::nullopt);

}  // namespace kvm::win32
