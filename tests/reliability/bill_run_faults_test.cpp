// A whole bill run on a disk that fails at one of its calls: the run names the file where the
// user would look for it, never the hidden folder it was written into, says "Wrote" of nothing
// and leaves the output folder as the earlier run left it.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <sstream>
#include <string>

#include "platform/workshop/workshop_job.h"
#include "tests/reliability/faulty_disk.h"
#include "tests/reliability/folder_snapshot.h"
#include "tests/storage/temp_folder.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;

TEST(BillRunFaults, a_full_disk_anywhere_in_the_run_says_no_file_was_written) {
  const TempFolder folder;
  const fs::path out = folder / "out";
  const workshop::BillRequest request = workshop::demoRequest(out.string(), "");
  faultPlan().reset();
  std::ostringstream first;
  workshop::runWorkshopJob(request, first, {});
  const std::size_t calls = faultPlan().calls;
  ASSERT_NE(first.str().find("Wrote the coil order to"), std::string::npos) << first.str();
  ASSERT_GT(calls, 50U);
  auto before = snapshotOf(out);

  // Spread over the run, and every one of the commit at its end.
  std::set<std::size_t> failing;
  for (std::size_t at = 1; at < calls; at += calls / 16) failing.insert(at);
  for (std::size_t at = calls > 30 ? calls - 30 : 1; at <= calls; ++at) failing.insert(at);
  for (const std::size_t at : failing) {
    faultPlan().reset();
    faultPlan().failAt = at;
    faultPlan().failErrno = ENOSPC;
    std::ostringstream progress;
    std::string error;
    try {
      workshop::runWorkshopJob(request, progress, {});
    } catch (const std::exception& failure) {
      error = failure.what();
    }
    faultPlan().reset();
    if (error.empty()) {
      // The folder's last sync, after the set is in place, cannot fail it; shop.pdf is dated.
      before = snapshotOf(out);
      continue;
    }
    EXPECT_EQ(snapshotOf(out), before) << "call " << at;
    EXPECT_EQ(progress.str().find("Wrote"), std::string::npos) << "call " << at << progress.str();
    EXPECT_EQ(error.find(".kavelmor-"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace kvm::testing
