#include "apps/kavelmor/preview/preview_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "tests/preview/png_image.h"

namespace kvm::cli {
namespace {

using preview::testing::readPng;
using preview::testing::TemporaryFolder;

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Outcome {
  int status = -1;
  std::string messages;
};

Outcome run(const PreviewRequest& request) {
  std::ostringstream messages;
  Outcome outcome;
  outcome.status = runPreview(request, messages);
  outcome.messages = messages.str();
  return outcome;
}

class preview_command_test : public ::testing::Test {
 protected:
  preview_command_test() { writeBytes(database_, builtinDatabaseBytes()); }

  PreviewRequest request(std::string library, std::string flashing,
                         const std::string& output) const {
    return {std::move(library), std::move(flashing), (folder_.path() / output).string(),
            database_.string()};
  }

  TemporaryFolder folder_{"command"};
  std::filesystem::path database_ = folder_.path() / "Kavelmor.dat";
};

// The picture a person looks at: left in the build folder by every test run.
TEST_F(preview_command_test, command_line_renders_the_ridge_flashing) {
  const std::filesystem::path picture =
      std::filesystem::path(KVM_PREVIEW_PICTURE_DIR) / "ridge_flashing.png";
  std::filesystem::remove(picture);
  const std::string databaseArgument = database_.string();
  const std::string pictureArgument = picture.string();
  const char* argv[] = {"kavelmor",   "preview",
                        "彩钢板屋面", "屋脊包角",
                        "-o",         pictureArgument.c_str(),
                        "--db",       databaseArgument.c_str()};
  CLI::App app;
  int status = -1;
  addPreviewCommand(app, status);
  app.parse(static_cast<int>(std::size(argv)), argv);

  EXPECT_EQ(status, 0);
  const auto image = readPng(picture);
  ASSERT_TRUE(image.valid);
  EXPECT_EQ(image.width, 342);
  EXPECT_EQ(image.height, 180);
  EXPECT_GT(image.white, 200);
  EXPECT_GT(image.green, 30);
}

TEST_F(preview_command_test, svg_and_a_library_name_with_its_line_break) {
  const auto outcome = run(request("芯板屋面", "屋脊包角b", "b.svg"));
  EXPECT_EQ(outcome.status, 0) << outcome.messages;
  EXPECT_TRUE(std::filesystem::exists(folder_.path() / "b.svg"));
}

TEST_F(preview_command_test, unknown_names_list_what_there_is) {
  auto outcome = run(request("没有", "屋脊包角", "x.png"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.messages.find("彩钢板屋面, 彩钢墙面, 芯板屋面, 芯板墙面"), std::string::npos)
      << outcome.messages;

  outcome = run(request("彩钢墙面", "屋脊包角", "x.png"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.messages.find("转角包角, 窗顶包角"), std::string::npos) << outcome.messages;
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "x.png"));
}

TEST_F(preview_command_test, output_must_be_png_or_svg) {
  const auto outcome = run(request("彩钢板屋面", "屋脊包角", "x.jpg"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.messages.find(".png or .svg"), std::string::npos);
}

TEST_F(preview_command_test, malformed_database_is_reported) {
  writeBytes(database_, std::string_view(builtinDatabaseBytes()).substr(0, 40));
  const auto outcome = run(request("彩钢板屋面", "屋脊包角", "x.png"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.messages.find("error 62"), std::string::npos) << outcome.messages;
}

// A file that is no database, or an empty one: one line naming it, no byte of it unescaped.
TEST_F(preview_command_test, a_file_that_is_no_database_is_one_line_naming_it) {
  std::string noise = "\x1b[2J";
  for (int i = 0; i < 2500; ++i) {
    noise.push_back(static_cast<char>((i * 7919) & 0xFF));
  }
  for (const auto& [bytes, says] :
       {std::pair<std::string, std::string>{noise, ": not a flashing database: error "},
        std::pair<std::string, std::string>{"", ": the file is empty\n"}}) {
    writeBytes(database_, bytes);
    const auto outcome = run(request("彩钢板屋面", "屋脊包角", "x.png"));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.messages.rfind(database_.string() + says, 0), 0U) << outcome.messages;
    EXPECT_EQ(std::count(outcome.messages.begin(), outcome.messages.end(), '\n'), 1)
        << outcome.messages;
    EXPECT_TRUE(std::none_of(outcome.messages.begin(), outcome.messages.end(), [](char c) {
      return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F;
    })) << outcome.messages;
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "x.png"));
  }
}

TEST_F(preview_command_test, flashing_without_profile_gives_an_empty_picture) {
  Flashing bare;
  bare.Name = u"新包角";
  bare.Color = u"天蓝色";
  Flashing far = bare;
  far.Name = u"远";
  far.StartX = 32000;  // 1658 + 171 pixels: fine; one more long segment is not
  far.SegmentLengths = {32000, 32000, 32000, 32000, 32000, 32000, 32000, 32000, 32000, 32000,
                        32000, 32000, 32000, 32000, 32000, 32000, 32000, 32000, 32000, 32000};
  far.SegmentAngles = DynamicArray<double>(std::vector<double>(20, 0.0));
  far.TextMarks = DynamicArray<TextMark>::ofSize(0);
  far.DimensionMarks = DynamicArray<DimensionMark>::ofSize(0);
  LibraryTable table = {FlashingLibrary{u"库", {bare, far}, 0}};
  writeBytes(database_, writeLibraryTable(table));

  auto outcome = run(request("库", "新包角", "bare.png"));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.messages.find("no profile"), std::string::npos);
  auto image = readPng(folder_.path() / "bare.png");
  ASSERT_TRUE(image.valid);
  EXPECT_EQ(image.lit, 0);

  // An overflow ends the drawing with its message; what was drawn is still written.
  outcome = run(request("库", "远", "far.png"));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.messages, "Overflow\n");
  image = readPng(folder_.path() / "far.png");
  ASSERT_TRUE(image.valid);
}

TEST_F(preview_command_test, default_database_missing_uses_the_builtin_one_without_writing) {
  const char* saved = std::getenv("KAVELMOR_HOME");
  const std::string previous = saved == nullptr ? "" : saved;
  ::setenv("KAVELMOR_HOME", folder_.path().c_str(), 1);
  PreviewRequest builtin = request("彩钢板屋面", "山墙包角", "default.png");
  builtin.database.clear();
  const auto outcome = run(builtin);
  if (saved == nullptr) {
    ::unsetenv("KAVELMOR_HOME");
  } else {
    ::setenv("KAVELMOR_HOME", previous.c_str(), 1);
  }

  EXPECT_EQ(outcome.status, 0) << outcome.messages;
  EXPECT_NE(outcome.messages.find("using the built-in database"), std::string::npos);
  EXPECT_TRUE(readPng(folder_.path() / "default.png").valid);
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "QORNCAD"));
}

}  // namespace
}  // namespace kvm::cli
