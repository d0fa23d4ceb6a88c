#pragma once

#include <filesystem>
#include <optional>

namespace kvm {

// Renames a damaged file to NAME.bad, or NAME.bad.1, NAME.bad.2, ... when earlier ones are
// there, so nothing is ever deleted. Returns the new path, nullopt when there was no file.
// A failed rename is a run-time error.
std::optional<std::filesystem::path> moveFileAside(const std::filesystem::path& file);

}  // namespace kvm
