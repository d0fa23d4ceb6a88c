#include "files/scratch_file.h"

#include <array>
#include <fstream>
#include <system_error>
#include <utility>

#include "files/file_write_error.h"
#include "files/temporary_names.h"

namespace kvm::files {

ScratchFile::ScratchFile(std::filesystem::path target)
    : target_(std::move(target)), path_(scratchPathFor(target_)) {
  writer_.emplace(path_, target_);
}

ScratchFile::~ScratchFile() {
  writer_.reset();
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void ScratchFile::copyTo(StagedFile& into) {
  writer_->close();
  std::ifstream in(path_, std::ios::binary);
  std::array<char, 65536> piece{};
  while (in) {
    in.read(piece.data(), piece.size());
    into.write({piece.data(), static_cast<std::size_t>(in.gcount())});
  }
  if (!in.eof()) {
    throw FileWriteError(target_, std::make_error_code(std::errc::io_error));
  }
}

}  // namespace kvm::files
