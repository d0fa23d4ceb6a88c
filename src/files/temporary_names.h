#pragma once

#include <filesystem>

namespace kvm::files {

// The files a write keeps beside its target until it is done. Hidden, so that a listing of
// the folder does not show them meanwhile; named here only, so that leftovers are known.
std::filesystem::path stagedPathFor(const std::filesystem::path& target);
std::filesystem::path scratchPathFor(const std::filesystem::path& target);

}  // namespace kvm::files
