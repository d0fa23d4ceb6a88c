#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/runtime_error.h"
#include "storage/file_access.h"
#include "storage/file_errors.h"

namespace kvm {
namespace {

// Closes the descriptor on every path out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  [[nodiscard]] int get() const noexcept { return fd_; }
  // Closing can report a late write failure, so the success path closes explicitly.
  int release() noexcept {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

}  // namespace

std::string readWholeFile(const std::filesystem::path& file) {
  Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    throw fileErrorFromErrno(errno, FileAccess::Read);
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    throw fileErrorFromErrno(errno, FileAccess::Read);
  }
  if (S_ISDIR(info.st_mode)) {
    throw fileErrorFromErrno(EISDIR, FileAccess::Read);
  }
  // Read straight into the string; a file that grows meanwhile is read to its end too.
  std::string bytes(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      bytes.resize(bytes.size() + 65536);
    }
    const ssize_t count = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw fileErrorFromErrno(errno, FileAccess::Read);
    }
    if (count == 0) {
      break;
    }
    filled += static_cast<std::size_t>(count);
  }
  bytes.resize(filled);
  return bytes;
}

void writeWholeFile(const std::filesystem::path& file, std::string_view bytes, bool syncToDisk) {
  Descriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) {
    throw fileErrorFromErrno(errno, FileAccess::Write);
  }
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw fileErrorFromErrno(errno, FileAccess::Write);
    }
    written += static_cast<std::size_t>(count);
  }
  if (syncToDisk && ::fsync(fd.get()) != 0) {
    throw fileErrorFromErrno(errno, FileAccess::Write);
  }
  if (fd.release() != 0) {
    throw fileErrorFromErrno(errno, FileAccess::Write);
  }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    throw fileErrorFromErrno(errno, FileAccess::Write);
  }
}

void syncDirectory(const std::filesystem::path& directory) {
  Descriptor fd(::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() >= 0) {
    // Some file systems refuse fsync on a directory; the rename itself has happened.
    static_cast<void>(::fsync(fd.get()));
  }
}

}  // namespace kvm
