// The private entries of the server's test build (KavelmorTest.dll), beside the standard ones
// of dll_exports.cpp: they let a test program or the script runner replace the desktop. The
// DLL a user registers has none of them. Nothing thrown may leave them.
#include "platform/win32/windows_headers.h"

#include <stdexcept>
#include <string>

#include "base/text.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/player/played_desktop.h"
#include "platform/win32/server_module.h"

using kvm::win32::ServerModule;

namespace {

HRESULT resultOf(const kvm::RuntimeError& error) {
  return kvm::win32::scodeOf(error.number());
}

}  // namespace

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

// Private entries for the script player, not part of the automation interface: the runner's
// desktop (see played_desktop.h) with the dialogs on real windows, and the dumps of those
// dialogs as JSON text.
extern "C" HRESULT WINAPI KavelmorTestPlay(IDispatch* runner) {
  try {
    ServerModule::instance().installDesktop(
        runner == nullptr ? nullptr
                          : kvm::win32::makePlayedDesktop(kvm::win32::wrapComObject(runner)));
    return S_OK;
  } catch (...) {
    return resultOf(kvm::win32::currentError());
  }
}

extern "C" HRESULT WINAPI KavelmorTestDump(const wchar_t* what, BSTR* json) {
  if (what == nullptr || json == nullptr) {
    return E_POINTER;
  }
  *json = nullptr;
  try {
    const auto desktop = ServerModule::instance().installedDesktop();
    if (!desktop) {
      return E_FAIL;
    }
    const std::string text = kvm::win32::dumpPlayedDesktop(*desktop, kvm::win32::fromWide(what));
    *json = kvm::win32::allocBstr(kvm::fromUtf8(text));
    return S_OK;
  } catch (const std::invalid_argument& error) {
    *json = kvm::win32::allocBstr(kvm::fromUtf8(std::string("!") + error.what()));
    return S_FALSE;
  } catch (...) {
    return resultOf(kvm::win32::currentError());
  }
}
