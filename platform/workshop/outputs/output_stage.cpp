#include "platform/workshop/outputs/output_stage.h"

#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "base/printable.h"
#include "files/disk.h"
#include "files/file_write_error.h"
#include "files/staged_file.h"
#include "files/temporary_names.h"

namespace kvm::workshop {

namespace {

namespace fs = std::filesystem;

// Inside the output folder: the run's files, the journal of a commit under way, and the files
// the commit replaces or removes, kept until it is done.
constexpr const char* kStageName = ".kavelmor-stage";
constexpr const char* kJournalName = ".kavelmor-journal";
constexpr const char* kAsideName = ".kavelmor-aside";

bool isBookkeeping(const std::string& name) {
  return name == kStageName || name == kJournalName || name == kAsideName ||
         fs::path(name) == files::stagedPathFor(kJournalName).filename();
}

bool present(const fs::path& entry) {
  std::error_code error;
  return fs::exists(fs::symlink_status(entry, error));
}

std::set<std::string> readNameList(const fs::path& file) {
  std::set<std::string> names;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) names.insert(line);
  }
  return names;
}

// Before runs kept their list, every run wrote bill.dxf and cutlist.csv: a folder without a
// list is taken for such a run's only when it holds both, and then only the files under the
// names those runs gave their outputs count as theirs. A project file or plan kept there is
// the user's, as is everything in any other folder without a list.
bool olderRunsFolder(const std::set<std::string>& names) {
  return names.contains("bill.dxf") && names.contains("cutlist.csv");
}

bool namedLikeAnOlderOutput(const std::string& name) {
  static const std::regex picture(R"(\d+-.+\.png)");
  return name == "bill.dxf" || name == "bill.txt" || name == "cutlist.csv" ||
         name == "cutplan.csv" || std::regex_match(name, picture);
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  fs::directory_iterator entry(folder, error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    names.insert(entry->path().filename().string());
  }
  if (error) {
    throw std::runtime_error(folder.string() + ": cannot read the folder: " + error.message() +
                             "; check that you may read it, or name another folder");
  }
  return names;
}

// "a, b, c and 4 more", as a terminal may show them.
std::string listed(const std::set<std::string>& names) {
  constexpr std::size_t kShown = 5;
  std::string text;
  std::size_t count = 0;
  for (const std::string& name : names) {
    if (count++ == kShown) break;
    text += (text.empty() ? "" : ", ") + printable(name);
  }
  if (names.size() > kShown) {
    text += " and " + std::to_string(names.size() - kShown) + " more";
  }
  return text;
}

// A failed move names the file where the user sees it, in the output folder; the list of the
// outputs, which is no concern of the user's, by the folder.
fs::path shownFile(const fs::path& folder, const std::string& name) {
  return name == kOutputListName ? folder : folder / name;
}

void move(const fs::path& from, const fs::path& to, const fs::path& shown) {
  try {
    disk::moveEntry(from, to);
  } catch (const std::system_error& error) {
    throw files::FileWriteError(shown, error.code());
  }
}

void makeFolder(const fs::path& folder, const fs::path& shown) {
  std::error_code error;
  fs::create_directory(folder, error);
  if (error) {
    throw files::FileWriteError(shown, error);
  }
}

// What a commit moves: the run's files in, and the last run's files it does not write again
// out. Files in the folder under the names of new ones go aside first either way.
struct Journal {
  std::set<std::string> added;
  std::set<std::string> removed;

  void write(const fs::path& file) const {
    files::StagedFile staged(file);
    for (const std::string& name : added) staged.stream() << "add " << name << '\n';
    for (const std::string& name : removed) staged.stream() << "remove " << name << '\n';
    staged.commit();
  }

  static Journal read(const fs::path& file) {
    Journal journal;
    for (const std::string& line : readNameList(file)) {
      if (line.starts_with("add ")) journal.added.insert(line.substr(4));
      if (line.starts_with("remove ")) journal.removed.insert(line.substr(7));
    }
    return journal;
  }
};

// Each step looks whether it was done already, so that the same journal can be carried out
// again after a crash at any point of it.
void carryOut(const fs::path& folder, const Journal& journal) {
  const fs::path stage = folder / kStageName;
  const fs::path aside = folder / kAsideName;
  makeFolder(aside, folder);
  auto setAside = [&](const std::string& name) {
    if (present(folder / name) && !present(aside / name)) {
      move(folder / name, aside / name, shownFile(folder, name));
    }
  };
  for (const std::string& name : journal.added) {
    if (!present(stage / name)) continue;  // moved in before
    setAside(name);
    move(stage / name, folder / name, shownFile(folder, name));
  }
  for (const std::string& name : journal.removed) {
    setAside(name);
  }
  disk::syncFolder(folder);
}

// Moves the new files back into the stage and the set-aside ones back into their places.
void undo(const fs::path& folder, const Journal& journal) {
  const fs::path stage = folder / kStageName;
  const fs::path aside = folder / kAsideName;
  for (const std::string& name : journal.added) {
    if (!present(stage / name) && present(folder / name)) {
      move(folder / name, stage / name, shownFile(folder, name));
    }
  }
  if (present(aside)) {
    for (const std::string& name : namesIn(aside)) {
      if (!present(folder / name)) move(aside / name, folder / name, shownFile(folder, name));
    }
  }
  disk::syncFolder(folder);
}

// The journal gone, the commit is over; what is left of it is only in the way.
void endCommit(const fs::path& folder) {
  std::error_code ignored;
  fs::remove(folder / kJournalName, ignored);
  fs::remove(files::stagedPathFor(folder / kJournalName), ignored);
  disk::syncFolder(folder);
  fs::remove_all(folder / kAsideName, ignored);
}

}  // namespace

void recoverOutputFolder(const fs::path& folder) {
  if (present(folder / kJournalName)) {
    carryOut(folder, Journal::read(folder / kJournalName));
  }
  endCommit(folder);
  std::error_code ignored;
  fs::remove_all(folder / kStageName, ignored);
}

OutputStage::OutputStage(fs::path target, bool force,
                         const std::vector<std::string_view>& fixedNames)
    : target_(std::move(target)) {
  if (target_.filename().empty()) {
    target_ = target_.parent_path();  // "out/" names the folder "out"
  }
  if (present(target_)) {
    std::error_code error;
    if (!fs::is_directory(target_, error)) {
      throw std::runtime_error(target_.string() +
                               ": is not a folder; name a folder for the outputs");
    }
    recoverOutputFolder(target_);
    const bool hasList = present(target_ / kOutputListName);
    const std::set<std::string> list = readNameList(target_ / kOutputListName);
    const std::set<std::string> names = namesIn(target_);
    const bool older = !hasList && olderRunsFolder(names);
    std::set<std::string> users;
    for (const std::string& name : names) {
      if (name == kOutputListName || isBookkeeping(name)) continue;
      if (hasList && list.contains(name)) {
        earlierOutputs_.insert(name);
      } else if (older && namedLikeAnOlderOutput(name)) {
        olderOutputs_.insert(name);
      } else {
        users.insert(name);
      }
    }
    std::set<std::string> fixed;
    for (const std::string_view name : fixedNames) fixed.emplace(name);
    refuseToReplace(fixed);
    if (!users.empty() && !force) {
      throw std::runtime_error(target_.string() + ": holds files this command did not write (" +
                               listed(users) +
                               "); name another folder, or give --force to write beside them "
                               "(they are left alone)");
    }
  } else {
    std::error_code error;
    fs::create_directories(target_, error);
    if (error) {
      throw files::FileWriteError(target_, error);
    }
    createdTarget_ = true;
  }
  stage_ = target_ / kStageName;
  try {
    makeFolder(stage_, target_);
  } catch (...) {
    std::error_code ignored;
    if (createdTarget_) fs::remove(target_, ignored);
    throw;
  }
}

void OutputStage::refuseToReplace(const std::set<std::string>& names) const {
  std::set<std::string> users;
  for (const std::string& name : names) {
    if (present(target_ / name) && !earlierOutputs_.contains(name) &&
        !olderOutputs_.contains(name)) {
      users.insert(name);
    }
  }
  if (!users.empty()) {
    throw std::runtime_error(target_.string() + ": holds files this command did not write (" +
                             listed(users) +
                             ") under the names of its outputs; they are left alone, with or "
                             "without --force: move them away or name another folder");
  }
}

fs::path OutputStage::shown(const fs::path& staged) const {
  const fs::path relative = staged.lexically_relative(stage_);
  if (relative.empty() || *relative.begin() == "..") {
    return staged;
  }
  return target_ / relative;
}

OutputStage::~OutputStage() {
  std::error_code ignored;
  fs::remove_all(stage_, ignored);
  if (createdTarget_ && !committed_) {
    fs::remove(target_, ignored);  // only while empty: a file written there meanwhile stays
  }
}

std::string OutputStage::shown(std::string message) const {
  const std::string staged = (stage_ / "").string();
  const std::string target = (target_ / "").string();
  for (std::size_t at = message.find(staged); at != std::string::npos;
       at = message.find(staged, at + target.size())) {
    message.replace(at, staged.size(), target);
  }
  return message;
}

void OutputStage::commit() {
  Journal journal;
  journal.added = namesIn(stage_);
  // The pictures' names are known only now; a file of the user's may also have come meanwhile.
  refuseToReplace(journal.added);
  for (const std::string& name : earlierOutputs_) {
    if (!journal.added.contains(name)) journal.removed.insert(name);
  }
  journal.added.insert(kOutputListName);
  try {
    files::StagedFile list(stage_ / kOutputListName);
    for (const std::string& name : journal.added) {
      if (name != kOutputListName) list.stream() << name << '\n';
    }
    list.commit();
    // From here on the commit is carried through, by this run or after a crash by the next.
    journal.write(target_ / kJournalName);
  } catch (const files::FileWriteError& error) {
    // The bookkeeping's own files are no concern of the user's: the folder is.
    throw files::FileWriteError(target_, error.reason());
  }
  try {
    carryOut(target_, journal);
  } catch (...) {
    try {
      undo(target_, journal);
      endCommit(target_);
    } catch (...) {
      // The journal stays: the next run carries the commit through.
    }
    throw;
  }
  committed_ = true;
  endCommit(target_);
  std::error_code ignored;
  fs::remove_all(stage_, ignored);
}

}  // namespace kvm::workshop
