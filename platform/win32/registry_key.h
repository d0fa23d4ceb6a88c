#pragma once

#include "platform/win32/windows_headers.h"

#include <optional>
#include <string>
#include <utility>

namespace kvm::win32 {

// Owns one open registry key.
class RegistryKey {
 public:
  RegistryKey() = default;
  explicit RegistryKey(HKEY key) : key_(key) {}
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  ~RegistryKey() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }

  // Errors come back as the system's status code (ERROR_SUCCESS when it worked).
  static LSTATUS open(HKEY root, const std::wstring& path, REGSAM access, RegistryKey& key);
  static LSTATUS create(HKEY root, const std::wstring& path, REGSAM access, RegistryKey& key);

  [[nodiscard]] HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

  // name null or empty: the key's default value.
  LSTATUS setString(const wchar_t* name, const std::wstring& value) const;
  [[nodiscard]] std::optional<std::wstring> queryString(const wchar_t* name) const;

 private:
  HKEY key_ = nullptr;
};

// Removes a key with everything below it; a missing key is no failure.
LSTATUS deleteKeyTree(HKEY root, const std::wstring& path);

}  // namespace kvm::win32
