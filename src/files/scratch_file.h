#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "files/disk_writer.h"
#include "files/staged_file.h"

namespace kvm::files {

// Bytes kept on the disk beside a target until they are copied into it, so that memory does
// not grow with them; removed when dropped. Failures name the target.
class ScratchFile {
 public:
  explicit ScratchFile(std::filesystem::path target);
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ScratchFile(ScratchFile&&) = delete;
  ScratchFile& operator=(ScratchFile&&) = delete;
  ~ScratchFile();

  [[nodiscard]] std::ostream& stream() noexcept { return writer_->stream(); }

  // Ends the writing and appends everything written to `into`.
  void copyTo(StagedFile& into);

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  std::optional<DiskWriter> writer_;
};

}  // namespace kvm::files
