#include "tests/reliability/faulty_disk.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>

#include "storage/file_access.h"
#include "storage/file_errors.h"

namespace kvm::testing {

FaultPlan& faultPlan() {
  static FaultPlan plan;
  return plan;
}

namespace {

constexpr std::size_t kWriteCall = 512;

// Counts a call; true when the plan fails it.
bool failsHere() {
  FaultPlan& plan = faultPlan();
  if (plan.beforeEachCall) {
    plan.beforeEachCall();
  }
  ++plan.calls;
  return plan.failAt && *plan.failAt == plan.calls;
}

[[noreturn]] void fail() {
  throw fileErrorFromErrno(faultPlan().failErrno, FileAccess::Write);
}

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

 private:
  int fd_;
};

void writeAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::write(fd, bytes, size);
    if (count < 0) {
      throw fileErrorFromErrno(errno, FileAccess::Write);
    }
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
}

}  // namespace

}  // namespace kvm::testing

namespace kvm {

using testing::failsHere;

std::string readWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) {
    throw fileErrorFromErrno(EISDIR, FileAccess::Read);
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    throw fileErrorFromErrno(ENOENT, FileAccess::Read);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeWholeFile(const std::filesystem::path& file, std::string_view bytes, bool syncToDisk) {
  if (failsHere()) {
    testing::fail();
  }
  testing::Descriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.get() < 0) {
    throw fileErrorFromErrno(errno, FileAccess::Write);
  }
  for (std::size_t at = 0; at < bytes.size(); at += testing::kWriteCall) {
    const std::size_t size = std::min(testing::kWriteCall, bytes.size() - at);
    if (failsHere()) {
      testing::writeAll(fd.get(), bytes.data() + at, size / 2);
      testing::fail();
    }
    testing::writeAll(fd.get(), bytes.data() + at, size);
  }
  if (syncToDisk && failsHere()) {
    testing::fail();
  }
  if (failsHere()) {
    testing::fail();
  }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (failsHere()) {
    testing::fail();
  }
  std::error_code error;
  std::filesystem::rename(from, to, error);
  if (error) {
    throw fileError(error, FileAccess::Write);
  }
}

void syncDirectory(const std::filesystem::path& /*directory*/) {
  // The rename has happened by now; a failure here is not reported by the real one either.
  static_cast<void>(failsHere());
}

}  // namespace kvm
