#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "apps/kavelmor/script/script_session.h"

namespace kvm::script {

// Where one script session keeps its durable state: the stores the options name, else inside
// --home when given (so sessions stay apart), else in the user's own folders.
class SessionStores {
 public:
  explicit SessionStores(const SessionOptions& options);

  [[nodiscard]] std::shared_ptr<SettingsStore> settings() const { return settings_; }
  [[nodiscard]] const std::filesystem::path& programDirectoryRoot() const { return root_; }
  [[nodiscard]] std::filesystem::path programDirectory() const;

  // The "settings" and "registry" steps: a string sets a key, null removes it.
  void applySettings(const nlohmann::json& changes);
  void applyRegistry(const nlohmann::json& changes);
  // The "settings" dump.
  [[nodiscard]] nlohmann::json dump() const;

 private:
  std::filesystem::path root_;
  std::shared_ptr<SettingsStore> settings_;
};

}  // namespace kvm::script
