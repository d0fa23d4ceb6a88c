#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "apps/kavelmor/bill/bill_commands.h"
#include "apps/kavelmor/bill/bill_outputs.h"
#include "apps/kavelmor/bill/bill_text.h"
#include "apps/kavelmor/bill/cut_list.h"
#include "apps/kavelmor/bill/sample_plan.h"
#include "apps/kavelmor/bill/sample_project.h"
#include "platform/sim/companion/project_file.h"
#include "tests/storage/temp_folder.h"

namespace kvm::cli {
namespace {

void writeFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

std::size_t lineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(bill_commands_test, the_demo_writes_every_output_and_says_where) {
  const TempFolder folder;
  std::ostringstream progress;
  std::ostringstream errors;
  ASSERT_EQ(runDemo((folder / "out").string(), "", progress, errors), 0) << errors.str();
  EXPECT_EQ(errors.str(), "");
  for (const char* name : {"project.json", "plan.dxf", "bill.dxf", "bill.txt", "cutlist.csv",
                           "01-屋脊包角.png", "06-上窗底包角.png"}) {
    EXPECT_TRUE(std::filesystem::exists(folder / "out" / name)) << name;
    EXPECT_NE(progress.str().find(name), std::string::npos) << progress.str();
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "out" / "bill.dxf.entities.part"));
  EXPECT_NE(
      progress.str().find("Block 6: 上窗底包角, 6 lines in 2 length classes, 18.00 m, 4.50 m²"),
      std::string::npos)
      << progress.str();
  // The sample the demo writes is the project it drew.
  EXPECT_EQ(companion::readProjectFile(folder / "out" / "project.json").flashings.size(), 6U);
}

TEST(bill_commands_test, a_malformed_project_is_one_line_naming_the_field) {
  const TempFolder folder;
  std::string text(sampleProject());
  text.replace(text.find("\"mode\": 2"), 9, "\"mode\": 7");
  writeFile(folder / "p.json", text);
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill({(folder / "p.json").string(), (folder / "out").string(), "", "", ""}, progress,
                    errors),
            1);
  EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
  EXPECT_EQ(errors.str().rfind("kavelmor bill: " + (folder / "p.json").string() + ":22:39: ", 0),
            0U)
      << errors.str();
  EXPECT_NE(errors.str().find("currentUse[2].mode: must be 0"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));
}

TEST(bill_commands_test, a_refused_bill_leaves_no_half_written_outputs) {
  const TempFolder folder;
  std::string text(sampleProject());
  text.replace(text.find("\"textHeight\": \"300\""), 19, "\"textHeight\": \"601\"");
  writeFile(folder / "p.json", text);
  writeSamplePlan(folder / "plan.dxf");
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill({(folder / "p.json").string(), (folder / "out").string(),
                     (folder / "home").string(), "", ""},
                    progress, errors),
            1);
  EXPECT_EQ(errors.str(),
            "kavelmor bill: the settings dialog kept the bill back; it showed: "
            "请输入字高，范围：100～600，整数。\n");
  EXPECT_TRUE(std::filesystem::is_empty(folder / "out"));
  // A named home is kept, with the database the dialog made there.
  EXPECT_TRUE(std::filesystem::exists(folder / "home" / "QORNCAD" / "Kavelmor.dat"));
}

TEST(bill_commands_test, a_plan_that_lacks_a_layer_or_cannot_be_read_is_one_line_and_no_outputs) {
  const TempFolder folder;
  std::string text(sampleProject());
  text.replace(text.find("BJ-窗侧"), std::string("BJ-窗侧").size(), "BJ-窗边");
  writeFile(folder / "p.json", text);
  writeSamplePlan(folder / "plan.dxf");
  std::ostringstream progress;
  std::ostringstream errors;
  const BillRequest request{(folder / "p.json").string(), (folder / "out").string(), "", "", ""};
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_EQ(errors.str(), "kavelmor bill: " + (folder / "p.json").string() +
                              ":24:5: currentUse[4]: layer \"BJ-窗边\" is not in the plan " +
                              (folder / "plan.dxf").string() +
                              " (its layers: 0, 屋脊包角, 山墙包角, 转角包角, 窗顶包角, BJ-窗侧, "
                              "上窗底包角)\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));

  // --plan names another drawing over the project's: here a DWG.
  writeFile(folder / "old.dwg", std::string("AC1027\0\0binary", 14));
  errors.str("");
  EXPECT_EQ(runBill(request, progress, errors, {(folder / "old.dwg").string(), ""}), 1);
  EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
  EXPECT_NE(errors.str().find("a DWG drawing"), std::string::npos) << errors.str();
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));
}

TEST(bill_commands_test, a_row_without_lines_needs_a_plan) {
  const TempFolder folder;
  std::string text(sampleProject());
  text.replace(text.find("\"plan\": \"plan.dxf\","), 19, "");
  writeFile(folder / "p.json", text);
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill({(folder / "p.json").string(), (folder / "out").string(), "", "", ""}, progress,
                    errors),
            1);
  EXPECT_EQ(errors.str(), "kavelmor bill: " + (folder / "p.json").string() +
                              ": rows take their lines from layers, but no plan is named: give "
                              "--plan PLAN.dxf or \"plan\" in the project file\n");
}

TEST(bill_commands_test, names_and_fields_of_the_outputs) {
  EXPECT_EQ(pictureName(0, 6, u"屋脊包角"), "01-屋脊包角.png");
  EXPECT_EQ(pictureName(99, 676, u"a/b:c"), "100-a_b_c.png");
  EXPECT_EQ(pictureName(4, 676, u"x"), "005-x.png");
  EXPECT_EQ(csvField("天蓝色"), "天蓝色");
  EXPECT_EQ(csvField("a,b"), "\"a,b\"");
  EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(scaleText(1), "1:10");
  EXPECT_EQ(scaleText(2), "1:20");
  EXPECT_EQ(scaleText(5), "1:5");
  EXPECT_EQ(noteLine(u"\r\n没找到包角 a:b 属性 "), "没找到包角 a:b 属性");
}

}  // namespace
}  // namespace kvm::cli
