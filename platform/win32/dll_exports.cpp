// The entry points of Kavelmor.dll. Nothing thrown may leave them.
#include "platform/win32/windows_headers.h"

#include "platform/win32/automation_error.h"
#include "platform/win32/class_factory.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/guids.h"
#include "platform/win32/registration.h"
#include "platform/win32/server_module.h"

using kvm::win32::ServerModule;

namespace {

HRESULT resultOf(const kvm::RuntimeError& error) {
  return kvm::win32::scodeOf(error.number());
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    ServerModule::instance().attach(instance);
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

// A private entry for the test runner, not part of the automation interface: installs the
// runner's desktop (an automation object, see desktop_bridge.h) in place of the real one;
// null puts the real one back.
extern "C" HRESULT WINAPI KavelmorTestInstall(IDispatch* desktop) {
  try {
    ServerModule::instance().installDesktop(
        desktop == nullptr ? nullptr
                           : kvm::win32::desktopFromDispatch(kvm::win32::wrapComObject(desktop)));
    return S_OK;
  } catch (...) {
    return resultOf(kvm::win32::currentError());
  }
}
