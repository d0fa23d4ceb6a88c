#include "platform/win32/registration.h"

#include <array>

#include "base/runtime_error.h"
#include "platform/win32/automation_error.h"
#include "platform/win32/guids.h"
#include "platform/win32/registry_key.h"
#include "platform/win32/type_library.h"

namespace kvm::win32 {

namespace {

constexpr std::size_t kGuidTextLength = 39;

void checkStatus(LSTATUS status) {
  if (status != ERROR_SUCCESS) {
    throw errorFromResult(HRESULT_FROM_WIN32(static_cast<unsigned long>(status)));
  }
}

std::wstring under(const std::wstring& path) {
  return std::wstring(kClassesPath) + L"\\" + path;
}

void writeKey(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  RegistryKey key;
  checkStatus(RegistryKey::create(root, under(path), KEY_WRITE, key));
  checkStatus(key.setString(name, value));
}

bool machineWideWritable() {
  RegistryKey key;
  return RegistryKey::create(HKEY_LOCAL_MACHINE, under(kProgId), KEY_WRITE, key) == ERROR_SUCCESS;
}

std::wstring classPath() {
  return L"CLSID\\" + guidText(kClsidClsKavelmor);
}

}  // namespace

std::wstring guidText(const GUID& guid) {
  std::array<wchar_t, kGuidTextLength + 1> text{};
  StringFromGUID2(guid, text.data(), static_cast<int>(text.size()));
  return text.data();
}

HKEY classesRoot(RegistrationScope scope) {
  return scope == RegistrationScope::PerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

void registerServer(const std::filesystem::path& dll, const std::filesystem::path& typeLibrary,
                    RegistrationScope scope) {
  if (scope == RegistrationScope::Automatic) {
    scope = machineWideWritable() ? RegistrationScope::MachineWide : RegistrationScope::PerUser;
  }
  HKEY root = classesRoot(scope);
  const std::wstring progId = kProgId;
  const std::wstring clsid = guidText(kClsidClsKavelmor);
  const std::wstring version =
      std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);

  // The type library first: when it cannot be written nothing else is, and a failure of the
  // keys takes back what was written, so a failed registration leaves nothing half done.
  saveAndRegisterTypeLibrary(typeLibrary);
  try {
    writeKey(root, progId, nullptr, progId);
    writeKey(root, progId + L"\\CLSID", nullptr, clsid);
    writeKey(root, classPath(), nullptr, progId);
    writeKey(root, classPath() + L"\\InprocServer32", nullptr, dll.wstring());
    writeKey(root, classPath() + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    writeKey(root, classPath() + L"\\ProgID", nullptr, progId);
    writeKey(root, classPath() + L"\\VersionIndependentProgID", nullptr, progId);
    writeKey(root, classPath() + L"\\TypeLib", nullptr, guidText(kLibidKavelmor));
    writeKey(root, classPath() + L"\\Version", nullptr, version);
    writeKey(root, classPath() + L"\\Programmable", nullptr, L"");
  } catch (...) {
    try {
      unregisterServer(typeLibrary);
    } catch (...) {  // NOLINT(bugprone-empty-catch): the first failure is the one to report
    }
    throw;
  }
}

void unregisterServer(const std::filesystem::path& typeLibrary) {
  unregisterTypeLibrary();
  LSTATUS failure = ERROR_SUCCESS;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    for (const std::wstring& path : {std::wstring(kProgId), classPath()}) {
      const LSTATUS status = deleteKeyTree(root, under(path));
      // A user without rights cannot touch the machine-wide keys; that is not their failure.
      if (status != ERROR_SUCCESS &&
          !(root == HKEY_LOCAL_MACHINE && status == ERROR_ACCESS_DENIED)) {
        failure = status;
      }
    }
  }
  std::error_code ignored;
  std::filesystem::remove(typeLibrary, ignored);
  checkStatus(failure);
}

}  // namespace kvm::win32
