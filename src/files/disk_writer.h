#pragma once

#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/disk.h"

namespace kvm::files {

// A file being written through the platform's calls, buffered, as bytes or as a stream. The
// first failure is kept and thrown by the next call that can throw, as a FileWriteError
// naming `shown`: a stream only sets its bad bit, and a write callback only answers false.
class DiskWriter final : private std::streambuf {
 public:
  DiskWriter(const std::filesystem::path& file, std::filesystem::path shown);
  DiskWriter(const DiskWriter&) = delete;
  DiskWriter& operator=(const DiskWriter&) = delete;
  DiskWriter(DiskWriter&&) = delete;
  DiskWriter& operator=(DiskWriter&&) = delete;
  ~DiskWriter() override;

  [[nodiscard]] std::ostream& stream() noexcept { return stream_; }
  void write(std::string_view bytes);
  bool tryWrite(const void* data, std::size_t size) noexcept;

  // Everything written so far handed to the system; then on the disk; then closed.
  void flush();
  void syncToDisk();
  void close();

 private:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* data, std::streamsize size) override;
  int sync() override;

  // False, keeping the failure, when the system refuses the bytes.
  bool drain() noexcept;
  bool put(std::string_view bytes) noexcept;
  [[noreturn]] void fail(std::error_code reason) const;
  void throwKeptFailure() const;

  disk::NativeFile file_;
  std::filesystem::path shown_;
  std::vector<char> buffer_;
  std::error_code failure_;
  std::ostream stream_;
};

}  // namespace kvm::files
