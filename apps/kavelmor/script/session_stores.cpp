#include "apps/kavelmor/script/session_stores.h"

#include <stdexcept>

#include "base/text.h"
#include "storage/json_settings_store.h"
#include "storage/program_directory.h"

namespace kvm::script {

namespace {

nlohmann::json mapToJson(const SettingsMap& values) {
  nlohmann::json out = nlohmann::json::object();
  for (const auto& [key, value] : values) {
    out[toUtf8(key)] = toUtf8(value);
  }
  return out;
}

template <class Set, class Remove>
void applyChanges(const nlohmann::json& changes, Set set, Remove remove) {
  if (!changes.is_object()) {
    throw std::invalid_argument("settings and registry steps take an object of names");
  }
  for (const auto& [name, value] : changes.items()) {
    if (value.is_null()) {
      remove(fromUtf8(name));
    } else if (value.is_string()) {
      set(fromUtf8(name), fromUtf8(value.template get<std::string>()));
    } else {
      throw std::invalid_argument("the value of \"" + name + "\" must be a string or null");
    }
  }
}

std::filesystem::path programDirectoryRootOf(const SessionOptions& options) {
  if (options.programDirectoryRoot) {
    return *options.programDirectoryRoot;
  }
  return options.home ? *options.home : defaultProgramDirectoryRoot();
}

std::shared_ptr<SettingsStore> settingsStoreOf(const SessionOptions& options) {
  if (options.settings) {
    return options.settings;
  }
  return std::make_shared<JsonSettingsStore>(options.home ? *options.home
                                                          : defaultSettingsFolder());
}

}  // namespace

SessionStores::SessionStores(const SessionOptions& options)
    : root_(programDirectoryRootOf(options)), settings_(settingsStoreOf(options)) {}

std::filesystem::path SessionStores::programDirectory() const {
  return programDirectoryUnder(root_);
}

void SessionStores::applySettings(const nlohmann::json& changes) {
  applyChanges(
      changes,
      [this](const std::u16string& key, const std::u16string& value) {
        settings_->save(key, value);
      },
      [this](const std::u16string& key) { settings_->remove(key); });
}

void SessionStores::applyRegistry(const nlohmann::json& changes) {
  applyChanges(
      changes,
      [this](const std::u16string& name, const std::u16string& value) {
        settings_->registrySet(name, value);
      },
      [this](const std::u16string& name) { settings_->registryRemove(name); });
}

nlohmann::json SessionStores::dump() const {
  const auto snapshot = settings_->snapshot();
  return {
      {"settings", mapToJson(snapshot.settings)},
      {"registry", snapshot.registry ? mapToJson(*snapshot.registry) : nlohmann::json::object()}};
}

}  // namespace kvm::script
