#include "storage/json_settings_store.h"

#include <nlohmann/json.hpp>

#include "base/runtime_error.h"
#include "base/text.h"
#include "storage/file_access.h"
#include "storage/file_errors.h"
#include "storage/move_aside.h"

namespace kvm {
namespace {

// A JSON object of strings; anything else makes the file malformed.
std::optional<SettingsMap> mapFromJson(const nlohmann::json& object) {
  if (!object.is_object()) {
    return std::nullopt;
  }
  SettingsMap map;
  for (const auto& [key, value] : object.items()) {
    if (!value.is_string()) {
      return std::nullopt;
    }
    map.insert_or_assign(fromUtf8(key), fromUtf8(value.get<std::string>()));
  }
  return map;
}

nlohmann::json mapToJson(const SettingsMap& map) {
  nlohmann::json object = nlohmann::json::object();
  for (const auto& [key, value] : map) {
    object[toUtf8(key)] = toUtf8(value);
  }
  return object;
}

std::optional<SettingsSnapshot> parseSettingsFile(const std::string& text) {
  const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
  if (document.is_discarded() || !document.is_object()) {
    return std::nullopt;
  }
  SettingsSnapshot contents;
  if (document.contains("settings")) {
    auto settings = mapFromJson(document["settings"]);
    if (!settings) {
      return std::nullopt;
    }
    contents.settings = std::move(*settings);
  }
  if (document.contains("registry")) {
    contents.registry = mapFromJson(document["registry"]);
    if (!contents.registry) {
      return std::nullopt;
    }
  }
  return contents;
}

}  // namespace

JsonSettingsStore::JsonSettingsStore(const std::filesystem::path& folder)
    : file_(folder / kFileName) {
  std::error_code error;
  if (!std::filesystem::exists(file_, error)) {
    return;
  }
  std::optional<SettingsSnapshot> contents;
  try {
    contents = parseSettingsFile(readWholeFile(file_));
  } catch (const RuntimeError&) {
    // Unreadable counts as malformed: set it aside below and start empty.
  }
  if (contents) {
    replaceContents(std::move(*contents));
  } else {
    movedAside_ = moveFileAside(file_);
  }
}

void JsonSettingsStore::persist() {
  nlohmann::json document = nlohmann::json::object();
  document["settings"] = mapToJson(contents().settings);
  if (contents().registry) {
    document["registry"] = mapToJson(*contents().registry);
  }
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  if (error) {
    throw fileError(error, FileAccess::Write);
  }
  writeFileAtomically(file_, document.dump(2) + "\n");
}

}  // namespace kvm
