#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "files/disk.h"

namespace kvm::disk {
namespace {

[[noreturn]] void failWith(int error) {
  throw std::system_error(error, std::generic_category());
}

// Closes the descriptor on every path out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&&) = delete;
  Descriptor& operator=(Descriptor&&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  [[nodiscard]] int get() const noexcept { return fd_; }

 private:
  int fd_;
};

int descriptor(NativeFile file) {
  return static_cast<int>(file);
}

}  // namespace

std::string readWholeFile(const std::filesystem::path& file) {
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    failWith(errno);
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    failWith(errno);
  }
  if (S_ISDIR(info.st_mode)) {
    failWith(EISDIR);
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
      failWith(errno);
    }
    if (count == 0) {
      break;
    }
    filled += static_cast<std::size_t>(count);
  }
  bytes.resize(filled);
  return bytes;
}

NativeFile createFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    failWith(errno);
  }
  return fd;
}

void writeToFile(NativeFile file, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(descriptor(file), bytes.data(), bytes.size());
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      failWith(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

void syncFile(NativeFile file) {
  if (::fsync(descriptor(file)) != 0) {
    failWith(errno);
  }
}

void closeFile(NativeFile file) {
  if (::close(descriptor(file)) != 0 && errno != EINTR) {
    failWith(errno);
  }
}

void abandonFile(NativeFile file) noexcept {
  ::close(descriptor(file));
}

void moveEntry(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    failWith(errno);
  }
}

void syncFolder(const std::filesystem::path& folder) noexcept {
  const Descriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() >= 0) {
    // Some file systems refuse fsync on a folder; the rename itself has happened.
    static_cast<void>(::fsync(fd.get()));
  }
}

}  // namespace kvm::disk
