#include "files/temporary_names.h"

#include <string>

namespace kvm::files {
namespace {

std::filesystem::path hiddenBeside(const std::filesystem::path& target, const char* suffix) {
  return target.parent_path() / ("." + target.filename().string() + suffix);
}

}  // namespace

std::filesystem::path stagedPathFor(const std::filesystem::path& target) {
  return hiddenBeside(target, ".part");
}

std::filesystem::path scratchPathFor(const std::filesystem::path& target) {
  return hiddenBeside(target, ".scratch.part");
}

}  // namespace kvm::files
