#pragma once

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace kvm::files {

// "FILE: cannot write: No space left on device": the file the caller asked for, never the
// temporary one, and the system's reason, kept for callers with errors of their own.
class FileWriteError : public std::runtime_error {
 public:
  FileWriteError(const std::filesystem::path& file, std::error_code reason);

  [[nodiscard]] const std::filesystem::path& file() const noexcept { return file_; }
  [[nodiscard]] const std::error_code& reason() const noexcept { return reason_; }

 private:
  std::filesystem::path file_;
  std::error_code reason_;
};

}  // namespace kvm::files
