#include "platform/win32/com_client.h"

#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/com_dispatch.h"
#include "platform/win32/desktop_bridge.h"
#include "platform/win32/dispatch_com_object.h"

namespace kvm::win32 {

namespace {

using ServerEntry = HRESULT(WINAPI*)();
using InstallEntry = HRESULT(WINAPI*)(IDispatch*);
using DumpEntry = HRESULT(WINAPI*)(const wchar_t*, BSTR*);

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

void InProcessServer::installPlayedDesktop(const std::shared_ptr<Ui>& desktop,
                                           const DialogReports& reports) const {
  const auto install = as<InstallEntry>(entry("KavelmorTestPlay"));
  const auto exposed = exposeDispatch(desktopAsDispatch(desktop, reports));
  check(install(exposed.get()));
}

std::string InProcessServer::testDump(std::u16string_view what) const {
  const auto dump = as<DumpEntry>(entry("KavelmorTestDump"));
  const std::u16string asked(what);
  Bstr text;
  check(dump(wide(asked), text.put()));
  return toUtf8(fromBstr(text.get()));
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
