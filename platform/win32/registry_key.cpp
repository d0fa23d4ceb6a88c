#include "platform/win32/registry_key.h"

#include <vector>

namespace kvm::win32 {

LSTATUS RegistryKey::open(HKEY root, const std::wstring& path, REGSAM access, RegistryKey& key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) {
    key = RegistryKey(opened);
  }
  return status;
}

LSTATUS RegistryKey::create(HKEY root, const std::wstring& path, REGSAM access, RegistryKey& key) {
  HKEY created = nullptr;
  const LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         access, nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) {
    key = RegistryKey(created);
  }
  return status;
}

LSTATUS RegistryKey::setString(const wchar_t* name, const std::wstring& value) const {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

std::optional<std::wstring> RegistryKey::queryString(const wchar_t* name) const {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored text may or may not end in a zero; the first zero ends it.
  return std::wstring(buffer.data());
}

LSTATUS deleteKeyTree(HKEY root, const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(root, path.c_str());
  if (status == ERROR_FILE_NOT_FOUND) {
    return ERROR_SUCCESS;
  }
  if (status == ERROR_SUCCESS) {
    // RegDeleteTree empties the key; the key itself goes separately.
    const LSTATUS removed = RegDeleteKeyW(root, path.c_str());
    return removed == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : removed;
  }
  return status;
}

}  // namespace kvm::win32
