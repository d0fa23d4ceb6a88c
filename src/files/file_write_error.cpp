#include "files/file_write_error.h"

#include <string>

namespace kvm::files {

FileWriteError::FileWriteError(const std::filesystem::path& file, std::error_code reason)
    : std::runtime_error(file.string() + ": cannot write" +
                         (reason ? ": " + reason.message() : "")),
      file_(file),
      reason_(reason) {}

}  // namespace kvm::files
