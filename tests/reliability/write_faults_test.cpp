// Saving the database and the settings while the disk fails after each write call or the
// process dies there: the file holds its old or its new content, whole; the caller hears of
// the failure; the settings dialog keeps the edit so that a later save succeeds.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "base/runtime_error.h"
#include "base/text.h"
#include "files/temporary_names.h"
#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/database_file.h"
#include "storage/json_settings_store.h"
#include "tests/reliability/faulty_disk.h"
#include "tests/settings/settings_dialog_fixture.h"

namespace kvm::testing {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The errors a failing write comes back with: a full disk, a read-only directory, a file
// another program holds, a directory in the file's place.
constexpr std::array kFailures{ENOSPC, EROFS, EACCES, EBUSY, EISDIR};

// How many counted calls one fault-free run of `save` makes.
template <typename Save>
std::size_t callsOf(Save save) {
  faultPlan().reset();
  save();
  const std::size_t calls = faultPlan().calls;
  faultPlan().reset();
  return calls;
}

class WriteFaults : public ::testing::Test {
 protected:
  WriteFaults()
      : folder_(fs::temp_directory_path() /
                ("kvm-faults-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    faultPlan().reset();
  }
  ~WriteFaults() override {
    faultPlan().reset();
    fs::remove_all(folder_);
  }

  fs::path folder_;
};

LibraryTable editedTable() {
  LibraryTable table = readLibraryTable(builtinDatabaseBytes());
  table[0].Flashings[0].Color = u"红色";
  table[0].Name = u"改过的仓库";
  return table;
}

TEST_F(WriteFaults, a_database_save_killed_at_any_call_leaves_the_old_or_the_new_file) {
  const fs::path file = databasePath(folder_);
  const std::string oldBytes(builtinDatabaseBytes());
  saveDatabase(file, readLibraryTable(oldBytes));
  ASSERT_EQ(contentOf(file), oldBytes);
  const LibraryTable edited = editedTable();
  const std::string newBytes = writeLibraryTable(edited);

  std::size_t checked = 0;
  faultPlan().beforeEachCall = [&] {
    const std::string now = contentOf(file);
    EXPECT_TRUE(now == oldBytes || now == newBytes) << "a mix of " << now.size() << " bytes";
    ++checked;
  };
  saveDatabase(file, edited);
  faultPlan().reset();
  EXPECT_GT(checked, 3U);
  EXPECT_EQ(contentOf(file), newBytes);

  // A kill before the replacement leaves the half-written copy beside the file; the next
  // load reads the file and the next save replaces the leftover.
  std::ofstream(files::stagedPathFor(file), std::ios::binary) << newBytes.substr(0, 100);
  EXPECT_EQ(writeLibraryTable(readDatabaseFile(file)), newBytes);
  saveDatabase(file, readLibraryTable(oldBytes));
  EXPECT_EQ(contentOf(file), oldBytes);
  EXPECT_FALSE(fs::exists(files::stagedPathFor(file)));
}

TEST_F(WriteFaults, a_database_save_failing_at_any_call_keeps_the_old_file_and_says_so) {
  const fs::path file = databasePath(folder_);
  const std::string oldBytes(builtinDatabaseBytes());
  saveDatabase(file, readLibraryTable(oldBytes));
  const LibraryTable edited = editedTable();
  const std::size_t calls = callsOf([&] { saveDatabase(folder_ / "probe.dat", edited); });
  ASSERT_GT(calls, 3U);

  for (const int failure : kFailures) {
    // The directory sync comes after the replacement and cannot undo it.
    for (std::size_t at = 1; at < calls; ++at) {
      faultPlan().reset();
      faultPlan().failAt = at;
      faultPlan().failErrno = failure;
      EXPECT_THROW(saveDatabase(file, edited), RuntimeError) << "call " << at;
      faultPlan().reset();
      EXPECT_EQ(contentOf(file), oldBytes) << "call " << at;
      EXPECT_FALSE(fs::exists(files::stagedPathFor(file))) << "call " << at;
    }
  }
  saveDatabase(file, edited);
  EXPECT_EQ(readDatabaseFile(file)[0].Name, u"改过的仓库");
}

// The last step of a save puts the complete new file in the old one's place; when the system
// refuses (the folder went read-only, another program holds the file), nothing has changed.
TEST_F(WriteFaults, a_refused_replacement_keeps_the_old_file_and_names_the_cause) {
  const fs::path file = databasePath(folder_);
  const std::string oldBytes(builtinDatabaseBytes());
  saveDatabase(file, readLibraryTable(oldBytes));
  const LibraryTable edited = editedTable();
  // The replacement is the call before the directory sync.
  const std::size_t replacement = callsOf([&] { saveDatabase(folder_ / "probe.dat", edited); }) - 1;

  const std::array<std::pair<int, int32_t>, 4> refusals{
      {{EROFS, 70}, {EACCES, 70}, {EBUSY, 75}, {ENOSPC, 61}}};
  for (const auto& [failure, number] : refusals) {
    faultPlan().reset();
    faultPlan().failAt = replacement;
    faultPlan().failErrno = failure;
    try {
      saveDatabase(file, edited);
      ADD_FAILURE() << "the save did not fail with errno " << failure;
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), number) << "errno " << failure;
    }
    EXPECT_EQ(faultPlan().calls, replacement) << "the save went on after the refusal";
    faultPlan().reset();
    EXPECT_EQ(contentOf(file), oldBytes);
    EXPECT_FALSE(fs::exists(files::stagedPathFor(file)));
  }
}

TEST_F(WriteFaults, the_failure_of_a_full_disk_reaches_the_caller_as_its_runtime_error) {
  faultPlan().failAt = 2;
  faultPlan().failErrno = ENOSPC;
  try {
    saveDatabase(databasePath(folder_), editedTable());
    ADD_FAILURE() << "the save did not fail";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 61);
  }
}

TEST_F(WriteFaults, a_settings_change_failing_at_any_call_keeps_the_old_file_and_the_change) {
  JsonSettingsStore store(folder_);
  store.save(u"dang", u"old");
  const fs::path file = store.file();
  const std::string oldBytes = contentOf(file);
  const std::size_t calls = callsOf([&] {
    JsonSettingsStore probe(folder_ / "probe");
    probe.save(u"dang", u"new");
  });
  ASSERT_GT(calls, 2U);

  for (std::size_t at = 1; at < calls; ++at) {
    faultPlan().reset();
    faultPlan().failAt = at;
    faultPlan().failErrno = ENOSPC;
    EXPECT_THROW(store.save(u"dang", u"new"), RuntimeError) << "call " << at;
    faultPlan().reset();
    EXPECT_EQ(contentOf(file), oldBytes) << "call " << at;
    EXPECT_EQ(JsonSettingsStore(folder_).get(u"dang", u""), u"old");
    EXPECT_EQ(store.get(u"dang", u""), u"new");  // kept for the next save
    store.save(u"dang", u"old");
  }

  std::size_t checked = 0;
  faultPlan().beforeEachCall = [&] {
    const auto now = JsonSettingsStore(folder_).get(u"dang", u"");
    EXPECT_TRUE(now == u"old" || now == u"new");
    ++checked;
  };
  store.save(u"dang", u"new");
  faultPlan().reset();
  EXPECT_GT(checked, 2U);
  EXPECT_EQ(JsonSettingsStore(folder_).get(u"dang", u""), u"new");
}

class DialogWriteFaults : public SettingsDialogTest {
 protected:
  DialogWriteFaults() { faultPlan().reset(); }
  ~DialogWriteFaults() override { faultPlan().reset(); }
};

TEST_F(DialogWriteFaults, a_failed_save_is_told_keeps_the_edit_and_a_later_save_succeeds) {
  form().load();
  const fs::path file = databasePath(folder_);
  const std::string oldBytes = contentOf(file);
  form().cboColor.setText(u"红色");
  const std::size_t calls =
      callsOf([&] { saveDatabase(folder_ / "probe.dat", state().libraries); });

  for (std::size_t at = 1; at < calls; ++at) {
    faultPlan().reset();
    faultPlan().failAt = at;
    faultPlan().failErrno = ENOSPC;
    const std::size_t boxes = ui_->boxes.size();
    EXPECT_FALSE(form().Save2(false)) << "call " << at;
    faultPlan().reset();
    ASSERT_EQ(ui_->boxes.size(), boxes + 1) << "call " << at;
    EXPECT_FALSE(ui_->boxes.back().text.empty());
    EXPECT_EQ(state().libraries[0].Flashings[0].Color, u"红色");
    EXPECT_TRUE(state().modified);
    EXPECT_EQ(contentOf(file), oldBytes);
  }
  EXPECT_TRUE(form().Save2(false));
  EXPECT_FALSE(state().modified);
  EXPECT_EQ(readDatabaseFile(file)[0].Flashings[0].Color, u"红色");
}

TEST_F(DialogWriteFaults, a_refused_replacement_is_told_and_the_next_save_writes_the_edit) {
  form().load();
  const fs::path file = databasePath(folder_);
  const std::string oldBytes = contentOf(file);
  form().cboColor.setText(u"红色");
  const std::size_t replacement =
      callsOf([&] { saveDatabase(folder_ / "probe.dat", state().libraries); }) - 1;

  faultPlan().failAt = replacement;
  faultPlan().failErrno = EACCES;
  const std::size_t boxes = ui_->boxes.size();
  EXPECT_FALSE(form().Save2(false));
  EXPECT_EQ(faultPlan().calls, replacement);
  faultPlan().reset();
  ASSERT_EQ(ui_->boxes.size(), boxes + 1);
  EXPECT_NE(ui_->boxes.back().text.find(u"Permission denied"), std::u16string::npos)
      << toUtf8(ui_->boxes.back().text);
  EXPECT_TRUE(state().modified);
  EXPECT_EQ(contentOf(file), oldBytes);
  EXPECT_FALSE(fs::exists(files::stagedPathFor(file)));

  EXPECT_TRUE(form().Save2(false));
  EXPECT_FALSE(state().modified);
  EXPECT_EQ(readDatabaseFile(file)[0].Flashings[0].Color, u"红色");
}

}  // namespace
}  // namespace kvm::testing
