#pragma once

#include <filesystem>

namespace kvm::cli {

// The outputs of one run, gathered in a temporary folder beside the output folder and moved
// into it only when all of them are complete. Until then the output folder is not touched;
// a run that fails leaves no temporary folder behind.
class OutputStage {
 public:
  explicit OutputStage(std::filesystem::path target);
  OutputStage(const OutputStage&) = delete;
  OutputStage& operator=(const OutputStage&) = delete;
  OutputStage(OutputStage&&) = delete;
  OutputStage& operator=(OutputStage&&) = delete;
  ~OutputStage();

  // Where this run writes its files.
  [[nodiscard]] const std::filesystem::path& path() const { return stage_; }
  [[nodiscard]] const std::filesystem::path& target() const { return target_; }

  // Moves the run's files into the output folder.
  void commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path stage_;
};

}  // namespace kvm::cli
