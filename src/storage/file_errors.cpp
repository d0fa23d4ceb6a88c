#include "storage/file_errors.h"

namespace kvm {
namespace {
constexpr int32_t kDiskFull = 61;
constexpr int32_t kPathNotFound = 76;
}  // namespace

RuntimeError fileError(const std::error_code& error, FileAccess access) {
  const std::error_condition condition = error.default_error_condition();
  if (condition == std::errc::no_such_file_or_directory ||
      condition == std::errc::not_a_directory) {
    return access == FileAccess::Read ? RuntimeError(err::kFileNotFound)
                                      : RuntimeError(kPathNotFound, u"Path not found");
  }
  if (condition == std::errc::permission_denied ||
      condition == std::errc::operation_not_permitted ||
      condition == std::errc::read_only_file_system) {
    return RuntimeError(err::kPermissionDenied);
  }
  if (condition == std::errc::no_space_on_device) {
    return RuntimeError(kDiskFull, u"Disk full");
  }
  return RuntimeError(err::kPathFileAccess);
}

RuntimeError fileErrorFromErrno(int errnoValue, FileAccess access) {
  return fileError(std::error_code(errnoValue, std::generic_category()), access);
}

}  // namespace kvm
