#include "platform/workshop/web/output_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/workshop/outputs/output_stage.h"

namespace kvm::workshop::web {
namespace {

class OutputFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kvm_web_outputs_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    folder = root / "outputs";
    std::filesystem::create_directory(folder);
    for (const char* name :
         {"bill.dxf", "shop.pdf", "01-屋脊包角.png", "project.json", "notes.txt"}) {
      std::ofstream(folder / name) << name;
    }
    std::ofstream(folder / kOutputListName)
        << "01-屋脊包角.png\nbill.dxf\nproject.json\nshop.pdf\n";
    std::ofstream(root / "outside") << "not an output";
  }
  void TearDown() override { std::filesystem::remove_all(root); }

  std::filesystem::path root;
  std::filesystem::path folder;
};

TEST_F(OutputFilesTest, ListsTheRunsOutputsFixedNamesFirst) {
  EXPECT_EQ(listedOutputs(folder),
            (std::vector<std::string>{"bill.dxf", "shop.pdf", "01-屋脊包角.png"}));
}

TEST_F(OutputFilesTest, GivesOnlyOutputsTheRunListed) {
  EXPECT_EQ(outputFile(folder, "bill.dxf"), folder / "bill.dxf");
  EXPECT_EQ(outputFile(folder, "01-屋脊包角.png"), folder / "01-屋脊包角.png");
  // An output name the run did not write, and files that are no output at all.
  EXPECT_EQ(outputFile(folder, "cutlist.csv"), std::nullopt);
  EXPECT_EQ(outputFile(folder, "notes.txt"), std::nullopt);
  EXPECT_EQ(outputFile(folder, "project.json"), std::nullopt);
  EXPECT_EQ(outputFile(folder, ".kavelmor-outputs"), std::nullopt);
}

TEST_F(OutputFilesTest, NoClientPathReachesTheFileSystem) {
  for (const char* name :
       {"../outside", "/etc/passwd", "01-../../x.png", "01-a/b.png", "01-a\\b.png", "", "bill.dxf/",
        "./bill.dxf", "01-.png", "1-a.png", "ab-c.png", "01-a.png\n"}) {
    EXPECT_EQ(outputFile(folder, name), std::nullopt) << name;
  }
}

TEST(MediaType, LetsTheBrowserShowThePdfAndSaveTheRest) {
  EXPECT_EQ(mediaType("shop.pdf"), "application/pdf");
  EXPECT_EQ(mediaType("01-a.png"), "image/png");
  EXPECT_EQ(mediaType("bill.csv"), "text/csv; charset=utf-8");
  EXPECT_EQ(mediaType("bill.dxf"), "application/dxf");
}

}  // namespace
}  // namespace kvm::workshop::web
