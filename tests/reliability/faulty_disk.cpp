#include "tests/reliability/faulty_disk.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "files/disk.h"

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

[[noreturn]] void failWith(int error) {
  throw std::system_error(error, std::generic_category());
}

[[noreturn]] void fail() {
  failWith(faultPlan().failErrno);
}

void writeAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t count = ::write(fd, bytes, size);
    if (count < 0) {
      failWith(errno);
    }
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
}

}  // namespace

}  // namespace kvm::testing

namespace kvm::disk {

using testing::failsHere;

std::string readWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) {
    testing::failWith(EISDIR);
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    testing::failWith(ENOENT);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

NativeFile createFile(const std::filesystem::path& file) {
  if (failsHere()) {
    testing::fail();
  }
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    testing::failWith(errno);
  }
  return fd;
}

void writeToFile(NativeFile file, std::string_view bytes) {
  const int fd = static_cast<int>(file);
  for (std::size_t at = 0; at < bytes.size(); at += testing::kWriteCall) {
    const std::size_t size = std::min(testing::kWriteCall, bytes.size() - at);
    if (failsHere()) {
      // A full disk takes part of the bytes first.
      testing::writeAll(fd, bytes.data() + at, size / 2);
      testing::fail();
    }
    testing::writeAll(fd, bytes.data() + at, size);
  }
}

void syncFile(NativeFile /*file*/) {
  if (failsHere()) {
    testing::fail();
  }
}

void closeFile(NativeFile file) {
  ::close(static_cast<int>(file));
  if (failsHere()) {
    testing::fail();
  }
}

void abandonFile(NativeFile file) noexcept {
  ::close(static_cast<int>(file));
}

void moveEntry(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (failsHere()) {
    testing::fail();
  }
  if (::rename(from.c_str(), to.c_str()) != 0) {
    testing::failWith(errno);
  }
}

void syncFolder(const std::filesystem::path& /*folder*/) noexcept {
  // The rename has happened by now; a failure here is not reported by the real one either,
  // nor can a watcher stop the program here.
  try {
    static_cast<void>(failsHere());
  } catch (...) {
    ++testing::faultPlan().calls;
  }
}

}  // namespace kvm::disk
