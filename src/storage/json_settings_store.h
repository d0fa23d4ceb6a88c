#pragma once

#include <filesystem>
#include <optional>

#include "storage/memory_settings_store.h"

namespace kvm {

// The settings store where the platform has no per-user registry: one UTF-8 JSON file,
// {"settings": {KEY: value}, "registry": {NAME: value}}, rewritten atomically after every
// change. A missing file reads as empty; a malformed one reads as empty too but is first
// moved aside (NAME.bad, ...) so nothing the user had is lost.
class JsonSettingsStore : public MemorySettingsStore {
 public:
  static constexpr const char* kFileName = "settings.json";

  // Reads folder/settings.json; the folder is created at the first change.
  explicit JsonSettingsStore(const std::filesystem::path& folder);

  [[nodiscard]] const std::filesystem::path& file() const noexcept { return file_; }
  // Where a malformed file went when the store was opened.
  [[nodiscard]] const std::optional<std::filesystem::path>& movedAside() const noexcept {
    return movedAside_;
  }

 protected:
  void persist() override;

 private:
  std::filesystem::path file_;
  std::optional<std::filesystem::path> movedAside_;
};

}  // namespace kvm
