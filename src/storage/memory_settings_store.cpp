#include "storage/memory_settings_store.h"

namespace kvm {

std::u16string MemorySettingsStore::get(std::u16string_view key,
                                        std::u16string_view defaultValue) const {
  const auto found = contents_.settings.find(key);
  return found == contents_.settings.end() ? std::u16string(defaultValue) : found->second;
}

void MemorySettingsStore::save(std::u16string_view key, std::u16string_view value) {
  const auto found = contents_.settings.find(key);
  if (found != contents_.settings.end()) {
    found->second = std::u16string(value);
  } else {
    contents_.settings.emplace(std::u16string(key), std::u16string(value));
  }
  persist();
}

void MemorySettingsStore::remove(std::u16string_view key) {
  const auto found = contents_.settings.find(key);
  if (found != contents_.settings.end()) {
    contents_.settings.erase(found);
    persist();
  }
}

std::optional<std::u16string> MemorySettingsStore::registryGet(std::u16string_view name) const {
  if (!contents_.registry) {
    return std::nullopt;
  }
  const auto found = contents_.registry->find(name);
  if (found == contents_.registry->end()) {
    return std::nullopt;
  }
  return registryReadResult(found->second);
}

void MemorySettingsStore::registrySet(std::u16string_view name, std::u16string_view value) {
  SettingsMap& registry = contents_.registry ? *contents_.registry : contents_.registry.emplace();
  const auto found = registry.find(name);
  if (found != registry.end()) {
    found->second = std::u16string(value);
  } else {
    registry.emplace(std::u16string(name), std::u16string(value));
  }
  persist();
}

void MemorySettingsStore::registryRemove(std::u16string_view name) {
  if (!contents_.registry) {
    return;
  }
  const auto found = contents_.registry->find(name);
  if (found != contents_.registry->end()) {
    contents_.registry->erase(found);
    persist();
  }
}

}  // namespace kvm
