#include "apps/kavelmor/db/db_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/file_access.h"
#include "temp_folder.h"

namespace kvm::cli {
namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

template <class Command>
Outcome run(Command command) {
  std::ostringstream out;
  std::ostringstream err;
  Outcome result;
  result.status = command(out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

TEST(db_commands_test, show_lists_libraries_and_flashings) {
  const Outcome shown =
      run([](auto& out, auto& err) { return dbShow(std::nullopt, true, out, err); });
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find("6 libraries, 32 flashings"), std::string::npos);
  EXPECT_NE(shown.out.find("C  芯板屋面: 6 flashings"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("屋脊包角"), std::string::npos);
}

void put(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// Export then import must give the file back byte for byte.
void expectRoundTrip(const TempFolder& folder, std::string_view bytes, bool acceptFaults = false) {
  const auto file = folder / "in.dat";
  const auto json = folder / "out.json";
  const auto back = folder / "back.dat";
  put(file, bytes);
  const Outcome exported =
      run([&](auto& out, auto& err) { return dbExport(file, false, json, out, err); });
  ASSERT_EQ(exported.status, 0) << exported.err;
  const Outcome imported =
      run([&](auto& out, auto& err) { return dbImport(json, back, out, err, acceptFaults); });
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(readWholeFile(back), bytes);
}

TEST(db_commands_test, export_and_import_give_back_the_built_in_bytes) {
  TempFolder folder;
  expectRoundTrip(folder, builtinDatabaseBytes());
  const Outcome exported = run(
      [](auto& out, auto& err) { return dbExport(std::nullopt, true, std::nullopt, out, err); });
  EXPECT_NE(exported.out.find("\"Name\": \"芯板屋面\\r\\n\""), std::string::npos);
  EXPECT_NE(exported.out.find("\"AuxValue\": 0.8"), std::string::npos);
}

TEST(db_commands_test, export_and_import_keep_what_text_cannot_hold) {
  Flashing odd;
  odd.Name = u"odd";
  odd.LengthFactor = -0.0F;
  odd.SegmentLengths = DynamicArray<int16_t>::ofSize(0);
  odd.SegmentAngles = DynamicArray<double>{std::numeric_limits<double>::infinity(), 0.1,
                                           std::numeric_limits<double>::quiet_NaN()};
  odd.TextMarks.push_back(TextMark{u"t", 1, 2, std::numeric_limits<float>::quiet_NaN(), 0.7F});
  odd.DimensionMarks = DynamicArray<DimensionMark>::ofSize(1);
  std::vector<FlashingLibrary> libraries{FlashingLibrary{u"A", {odd}, 9},
                                         FlashingLibrary{u"", {}, 0}};
  std::string bytes = writeLibraryRecords(libraries);
  bytes.replace(2, 1, "\xFF");  // the name "A" becomes a byte that is no GBK
  TempFolder folder;
  expectRoundTrip(folder, bytes, true);  // the trailing nameless library stays in the file

  std::string many;
  for (int i = 0; i < 27; ++i) {
    many += writeLibraryRecords({FlashingLibrary{u"L", {}, 0}});
  }
  expectRoundTrip(folder, many);               // a 27th record
  expectRoundTrip(folder, many + "\x01\x02");  // and bytes that are no record
  expectRoundTrip(folder, "");
}

TEST(db_commands_test, values_the_settings_dialog_would_not_save_are_faults) {
  TempFolder folder;
  LibraryTable table = builtinLibraryTable();
  table[0].Flashings[0].MaxCutLength = -7;
  table[0].Flashings[1].Overlap = 300;
  table[0].Flashings[1].MaxCutLength = 300;
  table[1].Flashings[0].SegmentAngles[2] = 1e308;
  table[1].Flashings[1].DevelopedWidth = 2000;
  table[1].Flashings[2].LengthFactor = 0.3F;
  const auto file = folder / "Kavelmor.dat";
  put(file, writeLibraryRecords(std::vector<FlashingLibrary>(table.begin(), table.end())));
  const Outcome checked = run([&](auto& out, auto& err) { return dbCheck(file, out, err); });
  EXPECT_EQ(checked.status, 1);
  const std::string where = file.string() + ": fault: library 1 \"彩钢板屋面\", flashing ";
  for (const std::string& fault :
       {where + "1 \"屋脊包角\": MaxCutLength -7: must be 300 to 10000 mm",
        where + "2 \"下封板下屋脊包角\": Overlap 300: must be smaller than MaxCutLength (300 mm), "
                "or no "
                "piece covers anything",
        file.string() + ": fault: library 2 \"彩钢墙面\", flashing 1 \"转角包角\": "
                        "SegmentAngles[2] 1E+308: must be a direction from -2π to 2π",
        file.string() + ": fault: library 2 \"彩钢墙面\", flashing 2 \"窗顶包角\": "
                        "DevelopedWidth 2000: must be between half and twice the profile's length "
                        "at its scale (166 mm)",
        file.string() + ": fault: library 2 \"彩钢墙面\", flashing 3 \"窗侧包角\": "
                        "LengthFactor 0.3: must be 0.50 to 2.00"}) {
    EXPECT_NE(checked.out.find(fault + "\n"), std::string::npos) << fault << "\n" << checked.out;
  }

  // Import refuses them and leaves the file it would have written alone.
  const auto json = folder / "faulty.json";
  ASSERT_EQ(run([&](auto& out, auto& err) { return dbExport(file, false, json, out, err); }).status,
            0);
  const auto target = folder / "target.dat";
  put(target, builtinDatabaseBytes());
  const Outcome imported =
      run([&](auto& out, auto& err) { return dbImport(json, target, out, err); });
  EXPECT_EQ(imported.status, 1);
  EXPECT_NE(imported.err.find("MaxCutLength -7: must be 300 to 10000 mm"), std::string::npos)
      << imported.err;
  EXPECT_EQ(readWholeFile(target), builtinDatabaseBytes());
}

TEST(db_commands_test, check_names_the_offset_of_the_damage) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  put(file, builtinDatabaseBytes().substr(0, 100));
  const Outcome checked = run([&](auto& out, auto& err) { return dbCheck(file, out, err); });
  EXPECT_NE(checked.status, 0);
  EXPECT_NE(checked.out.find("malformed, error 62 (Input past end of file) at byte 14: library 1 "
                             "\"彩钢板屋面\", Flashings: 7 elements need at least 203 bytes, "
                             "78 remain"),
            std::string::npos)
      << checked.out;
}

TEST(db_commands_test, check_accepts_a_good_file_with_notes) {
  TempFolder folder;
  const auto file = folder / "Kavelmor.dat";
  put(file, builtinDatabaseBytes());
  const Outcome good = run([&](auto& out, auto& err) { return dbCheck(file, out, err); });
  EXPECT_EQ(good.status, 0);
  EXPECT_NE(good.out.find("readable, 6 libraries, 32 flashings, 10338 bytes"), std::string::npos);
  EXPECT_EQ(good.out.find(": note:"), std::string::npos);

  put(file, writeLibraryRecords({FlashingLibrary{u"", {}, 0}}));
  const Outcome nameless = run([&](auto& out, auto& err) { return dbCheck(file, out, err); });
  EXPECT_EQ(nameless.status, 0);
  EXPECT_NE(nameless.out.find("26 empty rows"), std::string::npos);
}

TEST(db_commands_test, failures_are_reported_with_a_non_zero_status) {
  TempFolder folder;
  const Outcome missing =
      run([&](auto& out, auto& err) { return dbShow(folder / "none.dat", false, out, err); });
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("File not found (error 53)"), std::string::npos);

  put(folder / "bad.json", R"({"format": "kavelmor-database", "libraries": [{"Name": "A",
      "Flashings": null, "LastFlashing": 300}]})");
  const Outcome badJson = run([&](auto& out, auto& err) {
    return dbImport(folder / "bad.json", folder / "x.dat", out, err);
  });
  EXPECT_EQ(badJson.status, 1);
  EXPECT_NE(badJson.err.find("libraries[0].LastFlashing: expected a whole number from 0 to 255"),
            std::string::npos)
      << badJson.err;
  EXPECT_FALSE(std::filesystem::exists(folder / "x.dat"));
}

// Nothing from a file that is no database reaches the terminal unescaped.
bool printable(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F;
  });
}

TEST(db_commands_test, a_file_that_is_no_database_is_named_in_one_line) {
  TempFolder folder;
  const auto garbage = folder / "garbage.dat";
  constexpr char kControls[] = "\x07\x00\x1b[31m\x1b]0;title\x07";
  std::string bytes(kControls, sizeof kControls - 1);
  std::mt19937 random(7);
  for (int i = 0; i < 4000; ++i) {
    bytes.push_back(static_cast<char>(random() & 0xFF));
  }
  put(garbage, bytes);
  for (const bool show : {true, false}) {
    const Outcome outcome = run([&](auto& out, auto& err) {
      return show ? dbShow(garbage, false, out, err) : dbExport(garbage, false, {}, out, err);
    });
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_TRUE(outcome.err.starts_with("kavelmor db: " + garbage.string() +
                                        ": not a flashing database: error "))
        << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_TRUE(printable(outcome.err)) << outcome.err;
  }
  const Outcome checked = run([&](auto& out, auto& err) { return dbCheck(garbage, out, err); });
  EXPECT_EQ(checked.status, 1);
  EXPECT_TRUE(printable(checked.out)) << checked.out;

  const auto empty = folder / "empty.dat";
  put(empty, "");
  for (const bool show : {true, false}) {
    const Outcome outcome = run([&](auto& out, auto& err) {
      return show ? dbShow(empty, false, out, err) : dbCheck(empty, out, err);
    });
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "kavelmor db: " + empty.string() + ": the file is empty\n");
  }
}

TEST(db_commands_test, names_lose_their_line_break_and_counts_of_one_are_singular) {
  TempFolder folder;
  const auto file = folder / "one.dat";
  Flashing flashing;
  flashing.Name = u"F\x1b[2J";
  flashing.Color = u"red";
  DynamicArray<Flashing> flashings;
  flashings.push_back(flashing);
  put(file, writeLibraryRecords({FlashingLibrary{u"芯板屋面\r\n", flashings, 0}}));
  const Outcome shown = run([&](auto& out, auto& err) { return dbShow(file, false, out, err); });
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find(": 1 library, 1 flashing\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("A  芯板屋面: 1 flashing, last selected 01\n"), std::string::npos)
      << shown.out;
  EXPECT_TRUE(printable(shown.out)) << shown.out;
  const Outcome checked = run([&](auto& out, auto& err) { return dbCheck(file, out, err); });
  EXPECT_NE(checked.out.find("readable, 1 library, 1 flashing, "), std::string::npos)
      << checked.out;
}

TEST(db_commands_test, show_on_a_fresh_installation_gives_the_built_in_database) {
  TempFolder folder;
  ::setenv("KAVELMOR_HOME", folder.path().c_str(), 1);
  const Outcome shown =
      run([](auto& out, auto& err) { return dbShow(std::nullopt, false, out, err); });
  ::unsetenv("KAVELMOR_HOME");
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.err, "");
  const std::string first = shown.out.substr(0, shown.out.find('\n'));
  EXPECT_NE(first.find("No database file at "), std::string::npos) << first;
  EXPECT_NE(first.find("the built-in database"), std::string::npos) << first;
  EXPECT_NE(shown.out.find("6 libraries, 32 flashings"), std::string::npos);
}

TEST(db_commands_test, without_a_file_the_program_directory_is_used) {
  TempFolder folder;
  ::setenv("KAVELMOR_HOME", folder.path().c_str(), 1);
  EXPECT_EQ(defaultDatabaseFile(), folder / "QORNCAD" / "Kavelmor.dat");
  put(folder / "in.json", "{\"format\": \"kavelmor-database\", \"libraries\": []}");

  CLI::App app;
  int status = -1;
  addDbCommands(app, status);
  app.parse(std::vector<std::string>{(folder / "in.json").string(), "import", "db"});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::filesystem::file_size(folder / "QORNCAD" / "Kavelmor.dat"), 0U);

  CLI::App strict;
  addDbCommands(strict);
  EXPECT_THROW(strict.parse(std::vector<std::string>{"none.dat", "check", "db"}),
               CLI::RuntimeError);
  ::unsetenv("KAVELMOR_HOME");
}

}  // namespace
}  // namespace kvm::cli
