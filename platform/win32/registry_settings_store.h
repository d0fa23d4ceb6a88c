#pragma once

#include <string>

#include "storage/settings_store.h"

namespace kvm::win32 {

// The settings store in the current user's registry, where existing installations keep it:
//
// - application settings under the key "<application>\<section>" of
//   HKEY_CURRENT_USER\Software\VB and VBA Program Settings, the same path text the
//   platform's GetSetting and SaveSetting build. With the section "\" that text ends in two
//   backslashes, which the registry collapses: the values live directly in the key "...\kavelmor".
// - the component's values under HKEY_CURRENT_USER\Software\Microsoft\DuZedoZadavezo\KAVELMOR,
//   opened plainly first and then with full access in the 64-bit view, as the component
//   always has.
//
// Values are REG_SZ. A failed write is run-time error 5, as the platform's SaveSetting gives.
class RegistrySettingsStore final : public SettingsStore {
 public:
  RegistrySettingsStore();

  [[nodiscard]] std::u16string get(std::u16string_view key,
                                   std::u16string_view defaultValue) const override;
  void save(std::u16string_view key, std::u16string_view value) override;
  void remove(std::u16string_view key) override;

  [[nodiscard]] std::optional<std::u16string> registryGet(std::u16string_view name) const override;
  void registrySet(std::u16string_view name, std::u16string_view value) override;
  void registryRemove(std::u16string_view name) override;

  [[nodiscard]] SettingsSnapshot snapshot() const override;

  // Removes every application setting and the component's key, so that a session (a script
  // run through COM) starts from nothing, as a fresh home folder does.
  void removeAll();

  // Where the application settings are, below HKEY_CURRENT_USER.
  [[nodiscard]] const std::wstring& settingsPath() const { return settingsPath_; }

 private:
  std::wstring settingsPath_;
  std::wstring componentPath_;
};

// A session that starts from no settings, as a fresh home folder does in-process. The server
// keeps its settings in the user's registry, so the user's own values (strings: all the
// component keeps) are put back when the session ends.
class IsolatedRegistrySettings {
 public:
  explicit IsolatedRegistrySettings(RegistrySettingsStore& store);
  IsolatedRegistrySettings(const IsolatedRegistrySettings&) = delete;
  IsolatedRegistrySettings& operator=(const IsolatedRegistrySettings&) = delete;
  IsolatedRegistrySettings(IsolatedRegistrySettings&&) = delete;
  IsolatedRegistrySettings& operator=(IsolatedRegistrySettings&&) = delete;
  ~IsolatedRegistrySettings();

 private:
  RegistrySettingsStore& store_;
  SettingsSnapshot saved_;
};

}  // namespace kvm::win32
