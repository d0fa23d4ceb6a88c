#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

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
// that this run does not write again are removed with the commit. Every other file is the
// user's, whatever its name, and is never touched: a run that would replace one is refused,
// `force` or not, and a folder holding any is refused unless `force`. A folder an older version
// wrote has no list; see olderOutputs_. One run at a time per folder.
class OutputStage {
 public:
  // `fixedNames`: files this run writes whatever the bill holds, checked here already, so that
  // a file of the user's under one of their names stops the run before its work.
  OutputStage(std::filesystem::path target, bool force,
              const std::vector<std::string_view>& fixedNames = {});
  OutputStage(const OutputStage&) = delete;
  OutputStage& operator=(const OutputStage&) = delete;
  OutputStage(OutputStage&&) = delete;
  OutputStage& operator=(OutputStage&&) = delete;
  ~OutputStage();

  // Where this run writes its files.
  [[nodiscard]] const std::filesystem::path& path() const { return stage_; }
  [[nodiscard]] const std::filesystem::path& target() const { return target_; }

  // Where a file of the stage ends up, for naming it to the user; in a message, every file of
  // the stage so named.
  [[nodiscard]] std::filesystem::path shown(const std::filesystem::path& staged) const;
  [[nodiscard]] std::string shown(std::string message) const;

  // Moves the run's files into the output folder and removes the last run's others; on a
  // failure the folder is as it was before.
  void commit();

 private:
  // Throws, naming them, when files of the user's stand under any of these names.
  void refuseToReplace(const std::set<std::string>& names) const;

  std::filesystem::path target_;
  std::filesystem::path stage_;
  std::set<std::string> earlierOutputs_;  // the last run's files found in the folder
  // In a folder without a list: the files an older version's run wrote, by the names it gave
  // them; this run may replace them, but leaves those it does not write again.
  std::set<std::string> olderOutputs_;
  bool createdTarget_ = false;
  bool committed_ = false;
};

// Completes a commit into the output folder that a crash cut off, and removes what a run that
// never reached its commit left. Every run does this before it looks at the folder.
void recoverOutputFolder(const std::filesystem::path& folder);

// The name of the list of a run's files in its output folder.
inline constexpr const char* kOutputListName = ".kavelmor-outputs";

}  // namespace kvm::workshop
