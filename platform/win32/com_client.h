#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "dispatch/dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/windows_headers.h"
#include "ui/ui.h"

namespace kvm::win32 {

// What a program needs to use the component as the CAD host does: an apartment, the server
// DLL registered, objects created by ProgID, and (for the script runner) its own desktop
// installed in the DLL. Failures are RuntimeErrors.

// A single-threaded apartment for the life of the object, as the host's thread has.
class ComApartment {
 public:
  ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ComApartment(ComApartment&&) = delete;
  ComApartment& operator=(ComApartment&&) = delete;
  ~ComApartment();
};

// A server DLL loaded by its path, for its exports. It stays loaded for the life of the
// process: COM may still hold it.
class InProcessServer {
 public:
  explicit InProcessServer(std::filesystem::path dll);

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  void registerServer() const;    // DllRegisterServer
  void unregisterServer() const;  // DllUnregisterServer
  [[nodiscard]] bool canUnloadNow() const;

  // Hands the DLL this desktop through its private test entry; null restores the real one.
  void installDesktop(const std::shared_ptr<Ui>& desktop) const;
  // Hands the DLL this desktop for a script played on the dialogs' real windows (see
  // played_desktop.h); the DLL reports its dialogs through `reports`.
  void installPlayedDesktop(const std::shared_ptr<Ui>& desktop, const DialogReports& reports) const;
  // The DLL's private test dump of its dialogs (see KavelmorTestDump): JSON text.
  [[nodiscard]] std::string testDump(std::u16string_view what) const;

 private:
  [[nodiscard]] FARPROC entry(const char* name) const;

  std::filesystem::path path_;
  HMODULE module_ = nullptr;
};

// Creates an object by its ProgID (CLSCTX_INPROC_SERVER) and gives it back as a Dispatch.
DispatchPtr createObject(std::u16string_view progId);

}  // namespace kvm::win32
