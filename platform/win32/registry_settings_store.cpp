#include "platform/win32/registry_settings_store.h"

#include <vector>

#include "base/runtime_error.h"
#include "platform/win32/bstr.h"
#include "platform/win32/registry_key.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kProgramSettingsRoot = L"Software\\VB and VBA Program Settings\\";

std::wstring toWide(std::u16string_view text) {
  return {text.begin(), text.end()};
}

std::u16string fromWideString(const std::wstring& text) {
  return {text.begin(), text.end()};
}

RegistryKey openForReading(const std::wstring& path) {
  RegistryKey key;
  RegistryKey::open(HKEY_CURRENT_USER, path, KEY_READ, key);
  return key;
}

// The component's key: a plain open, then full access in the 64-bit view.
RegistryKey openComponentKey(const std::wstring& path) {
  RegistryKey key;
  if (RegistryKey::open(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE, key) != ERROR_SUCCESS) {
    RegistryKey::open(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key);
  }
  return key;
}

RegistryKey createComponentKey(const std::wstring& path) {
  RegistryKey key;
  if (RegistryKey::create(HKEY_CURRENT_USER, path, KEY_READ | KEY_WRITE, key) != ERROR_SUCCESS &&
      RegistryKey::create(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS | KEY_WOW64_64KEY, key) !=
          ERROR_SUCCESS) {
    raise(err::kInvalidCall);
  }
  return key;
}

SettingsMap stringValues(const RegistryKey& key) {
  SettingsMap values;
  DWORD count = 0;
  DWORD longestName = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return values;
  }
  std::vector<wchar_t> name(longestName + 1, L'\0');
  for (DWORD index = 0; index < count; ++index) {
    auto length = static_cast<DWORD>(name.size());
    DWORD type = 0;
    if (RegEnumValueW(key.get(), index, name.data(), &length, nullptr, &type, nullptr, nullptr) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
      continue;
    }
    const std::wstring valueName(name.data(), length);
    if (auto value = key.queryString(valueName.c_str())) {
      values.emplace(fromWideString(valueName), fromWideString(*value));
    }
  }
  return values;
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore()
    : settingsPath_(kProgramSettingsRoot + toWide(kSettingsApplication) + L"\\" +
                    toWide(kSettingsSection)),
      componentPath_(toWide(kRegistryKeyPath)) {}

std::u16string RegistrySettingsStore::get(std::u16string_view key,
                                          std::u16string_view defaultValue) const {
  const RegistryKey settings = openForReading(settingsPath_);
  if (settings) {
    if (auto value = settings.queryString(toWide(key).c_str())) {
      return fromWideString(*value);
    }
  }
  return std::u16string(defaultValue);
}

void RegistrySettingsStore::save(std::u16string_view key, std::u16string_view value) {
  RegistryKey settings;
  if (RegistryKey::create(HKEY_CURRENT_USER, settingsPath_, KEY_WRITE, settings) != ERROR_SUCCESS ||
      settings.setString(toWide(key).c_str(), toWide(value)) != ERROR_SUCCESS) {
    raise(err::kInvalidCall);
  }
}

void RegistrySettingsStore::remove(std::u16string_view key) {
  RegistryKey settings;
  if (RegistryKey::open(HKEY_CURRENT_USER, settingsPath_, KEY_WRITE, settings) == ERROR_SUCCESS) {
    RegDeleteValueW(settings.get(), toWide(key).c_str());
  }
}

std::optional<std::u16string> RegistrySettingsStore::registryGet(std::u16string_view name) const {
  const RegistryKey key = openComponentKey(componentPath_);
  if (!key) {
    return std::nullopt;  // the reader gives up quietly
  }
  const auto value = key.queryString(toWide(name).c_str());
  if (!value) {
    return std::nullopt;
  }
  return registryReadResult(fromWideString(*value));
}

void RegistrySettingsStore::registrySet(std::u16string_view name, std::u16string_view value) {
  const RegistryKey key = createComponentKey(componentPath_);
  if (key.setString(toWide(name).c_str(), toWide(value)) != ERROR_SUCCESS) {
    raise(err::kInvalidCall);
  }
}

void RegistrySettingsStore::registryRemove(std::u16string_view name) {
  const RegistryKey key = openComponentKey(componentPath_);
  if (key) {
    RegDeleteValueW(key.get(), toWide(name).c_str());
  }
}

void RegistrySettingsStore::removeAll() {
  deleteKeyTree(HKEY_CURRENT_USER, settingsPath_);
  deleteKeyTree(HKEY_CURRENT_USER, componentPath_);
}

SettingsSnapshot RegistrySettingsStore::snapshot() const {
  SettingsSnapshot result;
  if (const RegistryKey settings = openForReading(settingsPath_)) {
    result.settings = stringValues(settings);
  }
  if (const RegistryKey component = openComponentKey(componentPath_)) {
    result.registry = stringValues(component);
  }
  return result;
}

IsolatedRegistrySettings::IsolatedRegistrySettings(RegistrySettingsStore& store)
    : store_(store), saved_(store.snapshot()) {
  store_.removeAll();
}

IsolatedRegistrySettings::~IsolatedRegistrySettings() {
  try {
    store_.removeAll();
    for (const auto& [key, value] : saved_.settings) {
      store_.save(key, value);
    }
    if (saved_.registry) {
      for (const auto& [name, value] : *saved_.registry) {
        store_.registrySet(name, value);
      }
    }
  } catch (...) {
    // Nothing may leave a destructor; the session's events are already out.
  }
}

}  // namespace kvm::win32
