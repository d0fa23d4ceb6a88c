#pragma once

#include <filesystem>

#include <nlohmann/json.hpp>

namespace kvm::script {

// The "files" step: {"put": {"NAME": {"hex": "..."}}, "delete": ["NAME"]} in the program
// directory. Names are plain file names; anything that could leave the folder is refused.
void applyFileChanges(const std::filesystem::path& folder, const nlohmann::json& changes);

// The "files" dump: {NAME: {"size": N, "sha256": HEX}} of the regular files in the folder.
nlohmann::json describeFiles(const std::filesystem::path& folder);

}  // namespace kvm::script
