#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace kvm::cli {

// The outputs of one run, gathered in a temporary folder beside the output folder and moved
// into it only when all of them are complete. Until then the output folder is not touched;
// a run that fails leaves no temporary folder behind.
//
// The output folder keeps a list of the files the last run wrote (".kavelmor-outputs"); those
// that this run does not write again are removed with the move. Files of the user's are never
// touched, and a folder holding any is refused unless `force`.
class OutputStage {
 public:
  OutputStage(std::filesystem::path target, bool force);
  OutputStage(const OutputStage&) = delete;
  OutputStage& operator=(const OutputStage&) = delete;
  OutputStage(OutputStage&&) = delete;
  OutputStage& operator=(OutputStage&&) = delete;
  ~OutputStage();

  // Where this run writes its files.
  [[nodiscard]] const std::filesystem::path& path() const { return stage_; }
  [[nodiscard]] const std::filesystem::path& target() const { return target_; }

  // Moves the run's files into the output folder and removes the last run's others.
  void commit();

 private:
  void moveBesideUserFiles();

  std::filesystem::path target_;
  std::filesystem::path stage_;
  std::set<std::string> earlierOutputs_;  // the last run's files found in the folder
};

// The name of the list of a run's files in its output folder.
inline constexpr const char* kOutputListName = ".kavelmor-outputs";

}  // namespace kvm::cli
