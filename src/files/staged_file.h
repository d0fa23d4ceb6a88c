#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

#include "files/disk_writer.h"

namespace kvm::files {

// A file written beside its target and put in the target's place by commit(), whole: until
// then the target keeps its old content, and a file dropped without commit() leaves nothing
// behind. Every failure is a FileWriteError naming the target.
class StagedFile {
 public:
  explicit StagedFile(std::filesystem::path target);
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  StagedFile(StagedFile&&) = delete;
  StagedFile& operator=(StagedFile&&) = delete;
  ~StagedFile();

  [[nodiscard]] const std::filesystem::path& target() const noexcept { return target_; }

  // The ways in: bytes; a stream (its failures come back from commit()); a callback for
  // libraries that write through one, answering false once the file failed.
  void write(std::string_view bytes) { writer_->write(bytes); }
  [[nodiscard]] std::ostream& stream() noexcept { return writer_->stream(); }
  bool tryWrite(const void* data, std::size_t size) noexcept {
    return writer_->tryWrite(data, size);
  }

  // Hands what was written so far to the system; throws the first failure so far.
  void flush() { writer_->flush(); }
  // The bytes onto the disk, the file into its place, and the rename made durable.
  void commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::optional<DiskWriter> writer_;
  bool committed_ = false;
};

// The whole of a file, written as a StagedFile.
void writeFileSafely(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kvm::files
