// The output set of a bill run, committed while the disk fails at each of its calls or the
// process dies at one: the output folder holds the earlier run's set or the new one, never a
// mix, the user's files stay, and nothing of the commit is left behind.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "platform/workshop/outputs/output_stage.h"
#include "tests/reliability/faulty_disk.h"
#include "tests/reliability/folder_snapshot.h"
#include "tests/storage/temp_folder.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;
using Snapshot = std::map<std::string, std::string>;

void put(const fs::path& file, const std::string& content) {
  std::ofstream(file, std::ios::binary) << content;
}

// A run writing bill.txt, a changed cutlist.csv and a new picture; the earlier one wrote a
// picture this one does not.
void writeRun(const workshop::OutputStage& stage) {
  put(stage.path() / "bill.txt", "bill");
  put(stage.path() / "cutlist.csv", "new cut list");
  put(stage.path() / "02-山墙包角.png", "new picture");
}

class OutputSetFaults : public ::testing::Test {
 protected:
  OutputSetFaults() {
    faultPlan().reset();
    put(folder_ / "mine.txt", "the user's");
    workshop::OutputStage earlier(out_, true);
    put(earlier.path() / "bill.txt", "bill");
    put(earlier.path() / "cutlist.csv", "old cut list");
    put(earlier.path() / "01-屋脊包角.png", "old picture");
    earlier.commit();
    put(out_ / "mine.txt", "the user's");
    before_ = snapshotOf(out_);
    workshop::OutputStage probe(folder_ / "probe", false);
    writeRun(probe);
    probe.commit();
    committed_ = snapshotOf(folder_ / "probe");
    committed_["mine.txt"] = "the user's";
  }
  ~OutputSetFaults() override { faultPlan().reset(); }

  // Commits this run's set; false when it failed.
  bool commitRun() {
    try {
      workshop::OutputStage stage(out_, true);
      writeRun(stage);
      stage.commit();
      return true;
    } catch (const std::exception& error) {
      EXPECT_NE(std::string(error.what()).find(out_.string()), std::string::npos) << error.what();
      return false;
    }
  }

  TempFolder folder_;
  fs::path out_ = folder_ / "out";
  Snapshot before_;
  Snapshot committed_;
};

TEST_F(OutputSetFaults, the_sets_differ_as_the_test_means_them_to) {
  EXPECT_EQ(before_.at(".kavelmor-outputs"), "01-屋脊包角.png\nbill.txt\ncutlist.csv\n");
  EXPECT_EQ(committed_.at(".kavelmor-outputs"), "02-山墙包角.png\nbill.txt\ncutlist.csv\n");
  EXPECT_EQ(committed_.count("01-屋脊包角.png"), 0U);
  EXPECT_EQ(before_.at("mine.txt"), "the user's");
}

TEST_F(OutputSetFaults, a_failure_at_any_call_of_the_commit_leaves_the_folder_as_it_was) {
  faultPlan().reset();
  ASSERT_TRUE(commitRun());
  const std::size_t calls = faultPlan().calls;
  ASSERT_EQ(snapshotOf(out_), committed_);
  ASSERT_GT(calls, 10U);

  for (const int failure : {ENOSPC, EACCES, EXDEV}) {
    for (std::size_t at = 1; at <= calls; ++at) {
      // Back to the earlier set, written without faults.
      fs::remove_all(out_);
      fs::create_directories(out_);
      for (const auto& [name, content] : before_) put(out_ / name, content);
      faultPlan().reset();
      faultPlan().failAt = at;
      faultPlan().failErrno = failure;
      const bool done = commitRun();
      faultPlan().reset();
      // Only the folder's last sync comes after the set is in place, and it cannot fail it.
      EXPECT_EQ(snapshotOf(out_), done ? committed_ : before_) << "call " << at;
      EXPECT_TRUE(done || at < calls) << "call " << at;
    }
  }
}

TEST_F(OutputSetFaults, a_commit_cut_off_anywhere_is_carried_through_by_the_next_run) {
  faultPlan().reset();
  ASSERT_TRUE(commitRun());
  const std::size_t calls = faultPlan().calls;

  struct Killed {};
  for (std::size_t at = 1; at <= calls; ++at) {
    fs::remove_all(out_);
    fs::create_directories(out_);
    for (const auto& [name, content] : before_) put(out_ / name, content);
    // The process dies before call `at`: no destructor or rollback runs, as after a crash.
    std::optional<workshop::OutputStage> stage;
    stage.emplace(out_, true);
    writeRun(*stage);
    faultPlan().reset();
    // Dead from call `at` on: no later call does anything.
    faultPlan().beforeEachCall = [&] {
      if (faultPlan().calls + 1 >= at) throw Killed{};
    };
    bool killed = false;
    try {
      stage->commit();
    } catch (...) {
      killed = true;  // a writer may report the death as its failure
    }
    faultPlan().reset();
    if (killed) {
      // What a dead process leaves: its stage and any journal stay on the disk.
      const fs::path kept = folder_ / "kept";
      fs::remove_all(kept);
      fs::rename(stage->path(), kept);
      stage.reset();
      fs::rename(kept, out_ / ".kavelmor-stage");
    } else {
      stage.reset();
    }
    workshop::recoverOutputFolder(out_);
    const Snapshot after = snapshotOf(out_);
    EXPECT_TRUE(after == before_ || after == committed_) << "killed before call " << at;
    EXPECT_EQ(after.count(".kavelmor-stage/"), 0U);
    EXPECT_EQ(after.count(".kavelmor-journal"), 0U);
  }
}

TEST_F(OutputSetFaults, a_journal_found_by_the_next_run_completes_that_commit_first) {
  // A commit that had moved the old cut list aside and nothing in yet when the power went.
  const fs::path stage = out_ / ".kavelmor-stage";
  fs::create_directories(stage);
  fs::create_directories(out_ / ".kavelmor-aside");
  put(stage / "bill.txt", "bill");
  put(stage / "cutlist.csv", "new cut list");
  put(stage / "02-山墙包角.png", "new picture");
  put(stage / ".kavelmor-outputs", "02-山墙包角.png\nbill.txt\ncutlist.csv\n");
  fs::rename(out_ / "cutlist.csv", out_ / ".kavelmor-aside" / "cutlist.csv");
  put(out_ / ".kavelmor-journal",
      "add .kavelmor-outputs\nadd 02-山墙包角.png\nadd bill.txt\nadd cutlist.csv\n"
      "remove 01-屋脊包角.png\n");

  // The next run finds the set complete: without --force only the user's file is in its way.
  try {
    workshop::OutputStage next(out_, false);
    ADD_FAILURE() << "the user's file went unnoticed";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("(mine.txt)"), std::string::npos) << error.what();
  }
  EXPECT_EQ(snapshotOf(out_), committed_);
}

TEST_F(OutputSetFaults, a_stage_without_a_journal_is_a_run_that_never_committed) {
  fs::create_directories(out_ / ".kavelmor-stage");
  put(out_ / ".kavelmor-stage" / "bill.txt", "half a bill");
  workshop::recoverOutputFolder(out_);
  EXPECT_EQ(snapshotOf(out_), before_);
}

TEST_F(OutputSetFaults, a_failed_run_into_a_new_folder_leaves_no_folder) {
  {
    workshop::OutputStage stage(folder_ / "new", false);
    put(stage.path() / "bill.txt", "bill");
  }
  EXPECT_FALSE(fs::exists(folder_ / "new"));
}

}  // namespace
}  // namespace kvm::testing
