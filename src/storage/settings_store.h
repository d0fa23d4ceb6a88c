#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kvm {

// Where the component's settings are addressed. Every key lives under this application and
// section; the registry key holds the component's own values.
inline constexpr std::u16string_view kSettingsApplication = u"kavelmor";
inline constexpr std::u16string_view kSettingsSection = u"\\";
inline constexpr std::u16string_view kRegistryKeyPath =
    u"Software\\Microsoft\\DuZedoZadavezo\\KAVELMOR";
// A registry read sees at most this many bytes of the stored GBK text.
inline constexpr std::size_t kRegistryReadLimit = 300;

// Keys compare without regard to ASCII case, as the platform's stores do.
struct SettingsKeyLess {
  bool operator()(std::u16string_view a, std::u16string_view b) const;
  using is_transparent = void;
};
using SettingsMap = std::map<std::u16string, std::u16string, SettingsKeyLess>;

// What the store holds, for dumps.
struct SettingsSnapshot {
  SettingsMap settings;
  std::optional<SettingsMap> registry;  // nullopt: the registry key does not exist
};

// The per-user persistent settings: string values of the application settings store and
// the string values of the component's registry key.
class SettingsStore {
 public:
  SettingsStore() = default;
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  virtual ~SettingsStore() = default;

  // A missing key reads as the caller's default.
  [[nodiscard]] virtual std::u16string get(std::u16string_view key,
                                           std::u16string_view defaultValue) const = 0;
  virtual void save(std::u16string_view key, std::u16string_view value) = 0;
  virtual void remove(std::u16string_view key) = 0;

  // nullopt when the key or the value does not exist; otherwise the value as a read
  // through the platform's buffer gives it: at most kRegistryReadLimit GBK bytes, cut at
  // the first zero.
  [[nodiscard]] virtual std::optional<std::u16string> registryGet(
      std::u16string_view name) const = 0;
  // Creates the key when needed.
  virtual void registrySet(std::u16string_view name, std::u16string_view value) = 0;
  virtual void registryRemove(std::u16string_view name) = 0;

  [[nodiscard]] virtual SettingsSnapshot snapshot() const = 0;
};

// The text a registry read returns for a stored value.
std::u16string registryReadResult(std::u16string_view stored);

}  // namespace kvm
