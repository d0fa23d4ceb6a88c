// The entry points of the server DLL: the four every in-process COM server has, and nothing
// else. Nothing thrown may leave them.
#include "platform/win32/windows_headers.h"

#include <cstdint>

#include "base/text.h"
#include "dispatch/dispatch.h"

#include "platform/win32/automation_error.h"
#include "platform/win32/class_factory.h"
#include "platform/win32/guids.h"
#include "platform/win32/registration.h"
#include "platform/win32/server_module.h"
#include "platform/win32/ui/form_desktop.h"

using kvm::win32::ServerModule;

namespace {

HRESULT resultOf(const kvm::RuntimeError& error) {
  return kvm::win32::scodeOf(error.number());
}

// The host's main window, which owns the dialogs: the `hwnd` of the application the last
// start-up was given; none before a start-up or when the host cannot say.
HWND hostMainWindow() {
  try {
    const auto process = ServerModule::instance().process();
    if (!process->hostApplication) {
      return nullptr;
    }
    const auto handle = kvm::toLong(kvm::get(process->hostApplication, u"hwnd"));
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));  // NOLINT: as a number
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    ServerModule::instance().attach(instance);
    // Dialogs on real windows owned by the host's main window, the real message boxes.
    ServerModule::instance().setRealDesktop(
        [] { return kvm::win32::makeFormDesktop([] { return hostMainWindow(); }); });
  } else if (reason == DLL_PROCESS_DETACH && reserved != nullptr) {
    ServerModule::instance().abandon();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!IsEqualCLSID(clsid, kvm::win32::kClsidClsKavelmor)) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  try {
    return kvm::win32::ClassFactory::make()->QueryInterface(iid, object);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllCanUnloadNow() {
  try {
    return ServerModule::instance().canUnload() ? S_OK : S_FALSE;
  } catch (...) {
    return S_FALSE;
  }
}

STDAPI DllRegisterServer() {
  try {
    const auto& module = ServerModule::instance();
    kvm::win32::registerServer(module.modulePath(), module.typeLibraryPath());
    return S_OK;
  } catch (...) {
    return resultOf(kvm::win32::currentError());
  }
}

STDAPI DllUnregisterServer() {
  try {
    kvm::win32::unregisterServer(ServerModule::instance().typeLibraryPath());
    return S_OK;
  } catch (...) {
    return resultOf(kvm::win32::currentError());
  }
}
