#include "apps/kavelmor/bill/output_stage.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kvm::cli {

namespace {

std::filesystem::path madeTemporaryFolder(const std::filesystem::path& pattern) {
  std::string text = pattern.string();
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    const std::error_code error(errno, std::generic_category());
    throw std::runtime_error(
        pattern.parent_path().string() +
        ": cannot make a temporary folder for the outputs: " + error.message());
  }
  return buffer.data();
}

}  // namespace

OutputStage::OutputStage(std::filesystem::path target) : target_(std::move(target)) {
  if (target_.filename().empty()) {
    target_ = target_.parent_path();  // "out/" names the folder "out"
  }
  if (std::filesystem::exists(target_) && !std::filesystem::is_directory(target_)) {
    throw std::runtime_error(target_.string() + ": is not a folder");
  }
  const std::filesystem::path parent =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  std::filesystem::create_directories(parent);
  // Beside the output folder, so that its files are moved, never copied, into place.
  stage_ = madeTemporaryFolder(parent / ("." + target_.filename().string() + ".kavelmor-XXXXXX"));
}

OutputStage::~OutputStage() {
  std::error_code ignored;
  std::filesystem::remove_all(stage_, ignored);
}

void OutputStage::commit() {
  if (!std::filesystem::exists(target_)) {
    std::filesystem::rename(stage_, target_);
    return;
  }
  for (const auto& entry : std::filesystem::directory_iterator(stage_)) {
    std::filesystem::rename(entry.path(), target_ / entry.path().filename());
  }
}

}  // namespace kvm::cli
