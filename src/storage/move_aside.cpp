#include "storage/move_aside.h"

#include <string>
#include <system_error>

#include "storage/file_errors.h"

namespace kvm {

std::optional<std::filesystem::path> moveFileAside(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
    return std::nullopt;
  }
  std::filesystem::path target = file;
  target += ".bad";
  for (unsigned number = 1; std::filesystem::exists(std::filesystem::symlink_status(target, error));
       ++number) {
    target = file;
    target += ".bad." + std::to_string(number);
  }
  std::filesystem::rename(file, target, error);
  if (error) {
    throw fileError(error, FileAccess::Write);
  }
  return target;
}

}  // namespace kvm
