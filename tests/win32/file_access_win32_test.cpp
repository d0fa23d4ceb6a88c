#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/runtime_error.h"
#include "files/temporary_names.h"
#include "storage/file_access.h"

namespace kvm {
namespace {

std::filesystem::path scratch() {
  const auto folder = std::filesystem::temp_directory_path() / L"kvm_file_access";
  std::filesystem::create_directories(folder);
  return folder;
}

int32_t errorNumberOf(const std::function<void()>& body) {
  try {
    body();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(file_access_win32, bytes_round_trip_unchanged_including_zeros_and_line_ends) {
  const auto file = scratch() / L"Kavelmor.dat";
  const std::string bytes("\x01\x00\r\n\xB0\xFC\xBD\xC7", 8);
  writeWholeFile(file, bytes, true);
  EXPECT_EQ(readWholeFile(file), bytes);
  writeWholeFile(file, "", false);
  EXPECT_EQ(readWholeFile(file), "");
  writeFileAtomically(file, "replaced");
  EXPECT_EQ(readWholeFile(file), "replaced");
}

TEST(file_access_win32, failures_are_the_platforms_run_time_errors) {
  EXPECT_EQ(errorNumberOf([] { readWholeFile(scratch() / L"missing.dat"); }), 53);
  EXPECT_EQ(errorNumberOf([] { writeWholeFile(scratch() / L"no" / L"such.dat", "x", false); }), 76);
}

TEST(file_access_win32, a_save_leaves_a_folder_in_the_files_place_alone) {
  const auto file = scratch() / L"InTheWay.dat";
  std::filesystem::remove_all(file);
  std::filesystem::create_directories(file / L"inside");
  EXPECT_NE(errorNumberOf([&] { writeFileAtomically(file, "new"); }), 0);
  EXPECT_TRUE(std::filesystem::is_directory(file / L"inside"));
  EXPECT_FALSE(std::filesystem::exists(files::stagedPathFor(file)));
  std::filesystem::remove_all(file);
}

}  // namespace
}  // namespace kvm
