#include "platform/win32/com_client.h"

#include "base/runtime_error.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/dispatch_com_object.h"

namespace kvm::win32 {

namespace {

using ServerEntry = HRESULT(WINAPI*)();
using InstallEntry = HRESULT(WINAPI*)(IDispatch*);

template <class Function>
Function as(FARPROC entry) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));  // NOLINT: exports by name
}

}  // namespace

ComApartment::ComApartment() {
  check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComApartment::~ComApartment() {
  CoUninitialize();
}

InProcessServer::InProcessServer(std::filesystem::path dll)
    : path_(std::move(dll)), module_(LoadLibraryW(path_.c_str())) {
  if (module_ == nullptr) {
    raise(err::kFileNotFound);
  }
}

FARPROC InProcessServer::entry(const char* name) const {
  FARPROC found = GetProcAddress(module_, name);
  if (found == nullptr) {
    raise(err::kMemberNotFound);
  }
  return found;
}

void InProcessServer::registerServer() const {
  check(as<ServerEntry>(entry("DllRegisterServer"))());
}

void InProcessServer::unregisterServer() const {
  check(as<ServerEntry>(entry("DllUnregisterServer"))());
}

bool InProcessServer::canUnloadNow() const {
  return as<ServerEntry>(entry("DllCanUnloadNow"))() == S_OK;
}

void InProcessServer::installDesktop(const std::shared_ptr<Ui>& desktop) const {
  const auto install = as<InstallEntry>(entry("KavelmorTestInstall"));
  if (!desktop) {
    check(install(nullptr));
    return;
  }
  const auto exposed = exposeDispatch(desktopAsDispatch(desktop));
  check(install(exposed.get()));
}

DispatchPtr createObject(std::u16string_view progId) {
  const std::u16string name(progId);
  CLSID clsid{};
  check(CLSIDFromProgID(wide(name), &clsid));
  ComPtr<IDispatch> object;
  check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid()));
  return std::make_shared<ComDispatch>(std::move(object));
}

}  // namespace kvm::win32
