#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace kvm::workshop {

// The outputs of one run, gathered in a hidden folder inside the output folder and moved into
// it only when all of them are complete, all or nothing: a commit first notes in a journal what
// it moves, then moves the files it replaces or removes aside, then moves the new ones in. A
// failure part-way moves everything back; a commit cut off by a crash is completed by the next
// run, which reads the journal. Until the commit the output folder is not touched, and a run
// that fails leaves no hidden folder behind. Renames never leave the output folder, so they
// never cross a file system.
//
// The output folder keeps a list of the files the last run wrote (".kavelmor-outputs"); those
// that this run does not write again are removed with the commit. Files of the user's are never
// touched, and a folder holding any is refused unless `force`. One run at a time per folder.
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

  // Moves the run's files into the output folder and removes the last run's others; on a
  // failure the folder is as it was before.
  void commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path stage_;
  std::set<std::string> earlierOutputs_;  // the last run's files found in the folder
  bool createdTarget_ = false;
  bool committed_ = false;
};

// Completes a commit into the output folder that a crash cut off, and removes what a run that
// never reached its commit left. Every run does this before it looks at the folder.
void recoverOutputFolder(const std::filesystem::path& folder);

// The name of the list of a run's files in its output folder.
inline constexpr const char* kOutputListName = ".kavelmor-outputs";

}  // namespace kvm::workshop
