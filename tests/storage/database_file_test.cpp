#include "storage/database_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "files/temporary_names.h"
#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/file_access.h"
#include "storage/memory_settings_store.h"
#include "storage/move_aside.h"
#include "storage/stored_settings.h"
#include "temp_folder.h"
#include "tests/base/expect_error.h"

namespace kvm {
namespace {

void put(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

std::size_t flashingCount(const LibraryTable& table) {
  std::size_t count = 0;
  for (const FlashingLibrary& library : table) {
    count += library.Flashings.size();
  }
  return count;
}

TEST(database_file_test, path_is_the_program_directory_and_the_file_name) {
  EXPECT_EQ(databasePath("/x/QORNCAD"), std::filesystem::path("/x/QORNCAD/Kavelmor.dat"));
}

TEST(database_file_test, a_missing_file_is_created_from_the_built_in_database) {
  TempFolder folder;
  const auto file = folder / "QORNCAD" / "Kavelmor.dat";  // the folder is missing too
  MemorySettingsStore settings;
  settings.save(u"dangSel", u"3,4,5");
  const LoadedDatabase loaded = loadDatabase(file, settings);
  EXPECT_TRUE(loaded.createdFromBuiltin);
  EXPECT_EQ(readWholeFile(file), builtinDatabaseBytes());
  EXPECT_EQ(settings.get(u"dangSel", u""), u"0,0,0");
  EXPECT_EQ(loaded.table.size(), 6U);
  EXPECT_EQ(flashingCount(loaded.table), 32U);
  EXPECT_FALSE(std::filesystem::exists(files::stagedPathFor(folder / "QORNCAD" / "Kavelmor.dat")));
}

TEST(database_file_test, an_existing_file_is_read_and_left_alone) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  const LibraryTable table{FlashingLibrary{u"A", {}, 0}};
  put(file, writeLibraryTable(table));
  MemorySettingsStore settings;
  const LoadedDatabase loaded = loadDatabase(file, settings);
  EXPECT_FALSE(loaded.createdFromBuiltin);
  EXPECT_EQ(loaded.table, table);
  EXPECT_EQ(settings.get(u"dangSel", u"none"), u"none");
}

TEST(database_file_test, a_zero_byte_file_loads_as_an_empty_table) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  saveDatabase(file, LibraryTable{});
  EXPECT_EQ(std::filesystem::file_size(file), 0U);
  MemorySettingsStore settings;
  EXPECT_FALSE(loadDatabase(file, settings).table.isAllocated());
}

TEST(database_file_test, save_replaces_the_file_with_the_whole_table) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  put(file, "old contents that are longer than the new ones");
  const LibraryTable table{FlashingLibrary{u"A", {}, 0}};
  saveDatabase(file, table);
  EXPECT_EQ(readWholeFile(file), writeLibraryTable(table));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(database_file_test, a_failed_save_leaves_the_old_file_and_reports_it) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  put(file, "precious");
  // Something in the way of the new file: the save cannot complete.
  std::filesystem::create_directories(files::stagedPathFor(file) / "blocker");
  EXPECT_THROW(saveDatabase(file, builtinLibraryTable()), RuntimeError);
  EXPECT_EQ(readWholeFile(file), "precious");

  try {
    saveDatabase(folder / "missing" / "Kavelmor.dat", LibraryTable{});
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 76);
    EXPECT_EQ(error.description(), u"Path not found");
  }
}

// Another program put a folder where the file belongs: the save must neither fail half-way
// nor take the folder's place, and must leave no copy beside it.
TEST(database_file_test, a_folder_in_the_files_place_is_left_alone_and_the_save_fails) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  for (const bool empty : {false, true}) {
    std::filesystem::create_directories(file);
    if (!empty) {
      put(file / "inside.txt", "kept");
    }
    EXPECT_THROW(saveDatabase(file, builtinLibraryTable()), RuntimeError);
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ(std::filesystem::exists(file / "inside.txt"), !empty);
    EXPECT_FALSE(std::filesystem::exists(files::stagedPathFor(file)));
    std::filesystem::remove_all(file);
  }
  saveDatabase(file, builtinLibraryTable());
  EXPECT_EQ(readWholeFile(file), builtinDatabaseBytes());
}

TEST(database_file_test, bad_files_are_moved_aside_keeping_earlier_ones) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  EXPECT_EQ(moveFileAside(file), std::nullopt);
  for (const char* content : {"first", "second", "third"}) {
    put(file, content);
    moveFileAside(file);
  }
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(readWholeFile(folder / "Kavelmor.dat.bad"), "first");
  EXPECT_EQ(readWholeFile(folder / "Kavelmor.dat.bad.1"), "second");
  EXPECT_EQ(readWholeFile(folder / "Kavelmor.dat.bad.2"), "third");
}

TEST(database_file_test, a_malformed_file_is_set_aside_and_the_next_load_starts_afresh) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  const std::string damaged(builtinDatabaseBytes().substr(0, 5000));
  put(file, damaged);
  MemorySettingsStore settings;
  const DatabaseLoad failed = loadDatabaseWithRecovery(file, settings);
  ASSERT_TRUE(failed.failure.has_value());
  EXPECT_EQ(failed.failure->number(), err::kInputPastEnd);
  ASSERT_TRUE(failed.movedTo.has_value());
  EXPECT_EQ(*failed.movedTo, folder / "Kavelmor.dat.bad");
  EXPECT_EQ(readWholeFile(*failed.movedTo), damaged);
  EXPECT_FALSE(failed.table.isAllocated());
  const std::u16string message = failedLoadMessage(failed);
  EXPECT_TRUE(message.starts_with(u"Input past end of file\r\n"));
  EXPECT_NE(message.find((folder / "Kavelmor.dat.bad").u16string()), std::u16string::npos);

  const DatabaseLoad fresh = loadDatabaseWithRecovery(file, settings);
  EXPECT_FALSE(fresh.failure.has_value());
  EXPECT_TRUE(fresh.createdFromBuiltin);
  EXPECT_EQ(fresh.table, builtinLibraryTable());
  EXPECT_EQ(failedLoadMessage(fresh), u"");
}

TEST(database_file_test, restore_defaults_reads_through_the_temporary_file) {
  TempFolder folder;
  const auto database = folder / "Kavelmor.dat";
  const std::string mine = writeLibraryTable(LibraryTable{FlashingLibrary{u"mine", {}, 0}});
  put(database, mine);
  put(folder / "a03e.dat", "left over from before");
  EXPECT_EQ(restoreDefaultTable(folder.path()), builtinLibraryTable());
  EXPECT_FALSE(std::filesystem::exists(folder / "a03e.dat"));
  EXPECT_EQ(readWholeFile(database), mine);  // reaches the disk only by a save
}

TEST(database_file_test, restore_defaults_fails_cleanly_without_its_folder) {
  TempFolder folder;
  EXPECT_THROW(restoreDefaultTable(folder / "missing"), RuntimeError);
}

}  // namespace
}  // namespace kvm
