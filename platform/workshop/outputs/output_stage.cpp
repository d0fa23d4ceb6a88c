#include "platform/workshop/outputs/output_stage.h"

#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

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

// A folder written before runs kept their list: the names this command gives its files.
bool namedLikeAnOutput(const std::string& name) {
  static const std::regex picture(R"(\d+-.+\.png)");
  return name == "bill.dxf" || name == "bill.txt" || name == "cutlist.csv" ||
         name == "cutplan.csv" || name == "project.json" || std::regex_match(name, picture);
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

void move(const fs::path& from, const fs::path& to) {
  try {
    disk::moveEntry(from, to);
  } catch (const std::system_error& error) {
    throw files::FileWriteError(to, error.code());
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
  fs::create_directory(aside);
  auto setAside = [&](const std::string& name) {
    if (present(folder / name) && !present(aside / name)) move(folder / name, aside / name);
  };
  for (const std::string& name : journal.added) {
    if (!present(stage / name)) continue;  // moved in before
    setAside(name);
    move(stage / name, folder / name);
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
    if (!present(stage / name) && present(folder / name)) move(folder / name, stage / name);
  }
  if (present(aside)) {
    for (const std::string& name : namesIn(aside)) {
      if (!present(folder / name)) move(aside / name, folder / name);
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

OutputStage::OutputStage(fs::path target, bool force) : target_(std::move(target)) {
  if (target_.filename().empty()) {
    target_ = target_.parent_path();  // "out/" names the folder "out"
  }
  if (present(target_)) {
    if (!fs::is_directory(target_)) {
      throw std::runtime_error(target_.string() + ": is not a folder");
    }
    recoverOutputFolder(target_);
    const bool listed = present(target_ / kOutputListName);
    const std::set<std::string> list = readNameList(target_ / kOutputListName);
    bool userFiles = false;
    std::string others;
    for (const std::string& name : namesIn(target_)) {
      if (name == kOutputListName || isBookkeeping(name)) continue;
      if (listed ? list.contains(name) : namedLikeAnOutput(name)) {
        earlierOutputs_.insert(name);
      } else {
        userFiles = true;
        others += (others.empty() ? "" : ", ") + name;
      }
    }
    if (userFiles && !force) {
      throw std::runtime_error(target_.string() + ": holds files this command did not write (" +
                               others +
                               "); name another folder, or give --force to write beside them "
                               "(they are left alone)");
    }
  } else {
    fs::create_directories(target_);
    createdTarget_ = true;
  }
  stage_ = target_ / kStageName;
  std::error_code error;
  fs::create_directory(stage_, error);
  if (error) {
    throw std::runtime_error(target_.string() +
                             ": cannot make a folder for the outputs: " + error.message());
  }
}

OutputStage::~OutputStage() {
  std::error_code ignored;
  fs::remove_all(stage_, ignored);
  if (createdTarget_ && !committed_) {
    fs::remove(target_, ignored);  // only while empty: a file written there meanwhile stays
  }
}

void OutputStage::commit() {
  Journal journal;
  journal.added = namesIn(stage_);
  {
    files::StagedFile list(stage_ / kOutputListName);
    for (const std::string& name : journal.added) list.stream() << name << '\n';
    list.commit();
  }
  journal.added.insert(kOutputListName);
  for (const std::string& name : earlierOutputs_) {
    if (!journal.added.contains(name)) journal.removed.insert(name);
  }
  // From here on the commit is carried through, by this run or after a crash by the next.
  journal.write(target_ / kJournalName);
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
