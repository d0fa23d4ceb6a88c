#include "files/staged_file.h"

#include <system_error>
#include <utility>

#include "files/disk.h"
#include "files/file_write_error.h"
#include "files/temporary_names.h"

namespace kvm::files {

StagedFile::StagedFile(std::filesystem::path target)
    : target_(std::move(target)), temporary_(stagedPathFor(target_)) {
  writer_.emplace(temporary_, target_);
}

StagedFile::~StagedFile() {
  writer_.reset();
  if (!committed_) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

void StagedFile::commit() {
  writer_->syncToDisk();
  writer_->close();
  try {
    disk::moveEntry(temporary_, target_);
  } catch (const std::system_error& error) {
    throw FileWriteError(target_, error.code());
  }
  committed_ = true;
  disk::syncFolder(target_.parent_path());
}

void writeFileSafely(const std::filesystem::path& file, std::string_view bytes) {
  StagedFile staged(file);
  staged.write(bytes);
  staged.commit();
}

}  // namespace kvm::files
