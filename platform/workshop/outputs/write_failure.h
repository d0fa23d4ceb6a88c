#pragma once

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace kvm::workshop {

// "FILE: cannot write: No space left on device": the file and the system's reason, read from
// errno right after the failed call, so that a full disk says so.
[[noreturn]] inline void throwWriteFailure(const std::filesystem::path& file) {
  const int reason = errno;
  throw std::runtime_error(file.string() + ": cannot write" +
                           (reason != 0 ? ": " + std::generic_category().message(reason) : ""));
}

}  // namespace kvm::workshop
