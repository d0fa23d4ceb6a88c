#include "files/disk_writer.h"

#include <algorithm>
#include <utility>

#include "files/file_write_error.h"

namespace kvm::files {
namespace {

// Large enough that a call carries many stream insertions, small enough for many at once.
constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

}  // namespace

DiskWriter::DiskWriter(const std::filesystem::path& file, std::filesystem::path shown)
    : file_(disk::kNoFile), shown_(std::move(shown)), buffer_(kBufferSize), stream_(this) {
  try {
    file_ = disk::createFile(file);
  } catch (const std::system_error& error) {
    fail(error.code());
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

DiskWriter::~DiskWriter() {
  if (file_ != disk::kNoFile) {
    disk::abandonFile(file_);
  }
}

void DiskWriter::write(std::string_view bytes) {
  if (!drain() || !put(bytes)) {
    throwKeptFailure();
  }
}

bool DiskWriter::tryWrite(const void* data, std::size_t size) noexcept {
  if (failure_) {
    return false;
  }
  const auto* bytes = static_cast<const char*>(data);
  if (size < static_cast<std::size_t>(epptr() - pptr())) {
    std::copy(bytes, bytes + size, pptr());
    pbump(static_cast<int>(size));
    return true;
  }
  return drain() && put({bytes, size});
}

void DiskWriter::flush() {
  if (!drain()) {
    throwKeptFailure();
  }
}

void DiskWriter::syncToDisk() {
  flush();
  try {
    disk::syncFile(file_);
  } catch (const std::system_error& error) {
    fail(error.code());
  }
}

void DiskWriter::close() {
  flush();
  const disk::NativeFile file = std::exchange(file_, disk::kNoFile);
  try {
    disk::closeFile(file);
  } catch (const std::system_error& error) {
    fail(error.code());
  }
}

DiskWriter::int_type DiskWriter::overflow(int_type c) {
  if (!drain()) {
    return traits_type::eof();
  }
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

std::streamsize DiskWriter::xsputn(const char* data, std::streamsize size) {
  return tryWrite(data, static_cast<std::size_t>(size)) ? size : 0;
}

int DiskWriter::sync() {
  return drain() ? 0 : -1;
}

bool DiskWriter::drain() noexcept {
  const std::string_view waiting(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return put(waiting);
}

bool DiskWriter::put(std::string_view bytes) noexcept {
  if (failure_) {
    return false;
  }
  if (bytes.empty()) {
    return true;
  }
  if (file_ == disk::kNoFile) {
    failure_ = std::make_error_code(std::errc::bad_file_descriptor);
    return false;
  }
  try {
    disk::writeToFile(file_, bytes);
    return true;
  } catch (const std::system_error& error) {
    failure_ = error.code();
  } catch (...) {
    failure_ = std::make_error_code(std::errc::io_error);
  }
  return false;
}

void DiskWriter::fail(std::error_code reason) const {
  throw FileWriteError(shown_, reason);
}

void DiskWriter::throwKeptFailure() const {
  fail(failure_ ? failure_ : std::make_error_code(std::errc::io_error));
}

}  // namespace kvm::files
