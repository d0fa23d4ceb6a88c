#include "storage/database_check.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "storage/builtin_database.h"
#include "storage/database_json.h"
#include "storage/program_directory.h"

namespace kvm {
namespace {

bool hasNote(const DatabaseCheck& check, std::string_view text) {
  for (const std::string& note : check.notes) {
    if (note.find(text) != std::string::npos) {
      return true;
    }
  }
  return false;
}

TEST(database_check_test, notes_what_a_load_accepts_but_deserves_a_look) {
  Flashing f;
  f.Name = u"一二三四五六七八九十一";  // 22 bytes
  f.Color = u"";
  f.SegmentLengths = DynamicArray<int16_t>{1, 2};
  f.SegmentAngles = DynamicArray<double>{0.0};
  std::vector<FlashingLibrary> records{FlashingLibrary{u"A", {f, f}, 0},
                                       FlashingLibrary{u"A", {}, 0}, FlashingLibrary{u"", {}, 0}};
  const std::string bytes = writeLibraryRecords(records);
  const DatabaseCheck check = checkDatabase(bytes);
  EXPECT_FALSE(check.error.has_value());
  EXPECT_EQ(check.records, 3U);
  EXPECT_EQ(check.libraries, 2U);
  EXPECT_EQ(check.flashings, 2U);
  EXPECT_TRUE(hasNote(check, "1 nameless libraries at the end are dropped"));
  EXPECT_TRUE(hasNote(check, "library 2 \"A\": the name is used twice"));
  EXPECT_TRUE(hasNote(check, "flashing 2 \"一二三四五六七八九十一\": the name is used twice"));
  EXPECT_TRUE(hasNote(check, "name longer than 20 bytes"));
  EXPECT_TRUE(hasNote(check, "colour empty or longer than 6 bytes"));
  EXPECT_TRUE(hasNote(check, "fewer SegmentAngles than SegmentLengths"));
  // Bytes that are no record, while fewer than 26 records were read: malformed.
  EXPECT_TRUE(checkDatabase(bytes + "xyz").error.has_value());
}

TEST(database_check_test, the_built_in_database_needs_no_note) {
  const DatabaseCheck check = checkDatabase(builtinDatabaseBytes());
  EXPECT_FALSE(check.error.has_value());
  EXPECT_TRUE(check.notes.empty());
  EXPECT_EQ(checkDatabase("").notes.at(0), "no library at all: a load gives an empty table");
}

TEST(database_json_test, import_refuses_what_is_not_an_export) {
  using nlohmann::ordered_json;
  const auto refused = [](const char* text) {
    try {
      importDatabaseJson(ordered_json::parse(text));
    } catch (const DatabaseJsonError& error) {
      return std::string(error.what());
    }
    return std::string("accepted");
  };
  EXPECT_EQ(refused(R"({"libraries": []})"),
            "expected an object with \"format\": \"kavelmor-database\"");
  EXPECT_EQ(refused(R"({"format": "kavelmor-database", "libraries": [{"Name": {"gbk": "f"},
            "Flashings": null, "LastFlashing": 0}]})"),
            "libraries[0].Name.gbk: hex digits must come in pairs");
  EXPECT_EQ(refused(R"({"format": "kavelmor-database", "libraries": [{"Name": "A",
            "Flashings": 3, "LastFlashing": 0}]})"),
            "libraries[0].Flashings: expected null or a list");
  EXPECT_EQ(refused(R"({"format": "kavelmor-database", "libraries": [{"Name": "A",
            "Flashings": null}]})"),
            "libraries[0]: missing \"LastFlashing\"");
  EXPECT_EQ(refused(R"({"format": "kavelmor-database", "libraries": [], "tail": "0g"})"),
            "tail: not a hex digit pair");
}

TEST(database_json_test, reals_that_json_cannot_write_keep_their_bits) {
  Flashing f;
  f.LengthFactor = std::numeric_limits<float>::infinity();
  f.SegmentAngles = DynamicArray<double>{-std::numeric_limits<double>::infinity()};
  const std::string bytes = writeLibraryRecords({FlashingLibrary{u"A", {f}, 0}});
  const auto json = exportDatabaseJson(bytes);
  const auto& exported = json["libraries"][0]["Flashings"][0];
  EXPECT_EQ(exported["LengthFactor"]["single"], "7f800000");
  EXPECT_EQ(exported["SegmentAngles"][0]["double"], "fff0000000000000");
  EXPECT_EQ(importDatabaseJson(json), bytes);
}

TEST(program_directory_test, kavelmor_home_comes_first_then_the_user_folders) {
  ::setenv("KAVELMOR_HOME", "/opt/k", 1);
  EXPECT_EQ(defaultProgramDirectoryRoot(), std::filesystem::path("/opt/k"));
  EXPECT_EQ(defaultSettingsFolder(), std::filesystem::path("/opt/k"));
  ::unsetenv("KAVELMOR_HOME");
  ::setenv("XDG_DATA_HOME", "/data", 1);
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(defaultProgramDirectoryRoot(), std::filesystem::path("/data/kavelmor"));
  EXPECT_EQ(defaultSettingsFolder(), std::filesystem::path("/home/u/.config/kavelmor"));
  EXPECT_EQ(programDirectoryUnder("/data/kavelmor"),
            std::filesystem::path("/data/kavelmor/QORNCAD"));
}

}  // namespace
}  // namespace kvm
