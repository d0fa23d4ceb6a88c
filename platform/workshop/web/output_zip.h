#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kvm::workshop::web {

// Writes the named files of `folder` as one zip archive `archive`, each under its own name.
// Throws with a message of ours when it cannot.
void writeZip(const std::filesystem::path& folder, const std::vector<std::string>& names,
              const std::filesystem::path& archive);

}  // namespace kvm::workshop::web
