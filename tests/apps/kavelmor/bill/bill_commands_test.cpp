#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "apps/kavelmor/bill/bill_commands.h"
#include "platform/workshop/outputs/bill_outputs.h"
#include "platform/workshop/outputs/bill_text.h"
#include "platform/workshop/outputs/cut_list.h"
#include "platform/workshop/project/project_file.h"
#include "platform/workshop/sample/sample_plan.h"
#include "platform/workshop/sample/sample_project.h"
#include "platform/workshop/workshop_job.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"
#include "storage/program_directory.h"
#include "tests/storage/temp_folder.h"

namespace kvm::cli {
namespace {

using workshop::BillRequest;

void writeFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// The names in a folder, sorted; temporary folders of a run would show here.
std::vector<std::string> entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

BillRequest billRequest(const std::string& project, const std::string& output,
                        const std::string& home = "", const std::string& database = "") {
  BillRequest request;
  request.project = project;
  request.output = output;
  request.home = home;
  request.database = database;
  return request;
}

// p.json with the project text and, beside it, the plan its rows take their lines from.
void writeProjectAndPlan(const TempFolder& folder, std::string_view project) {
  writeFile(folder / "p.json", std::string(project));
  workshop::writeSamplePlan(folder / "plan.dxf");
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
                           "cutplan.csv", "01-屋脊包角.png", "06-上窗底包角.png"}) {
    EXPECT_TRUE(std::filesystem::exists(folder / "out" / name)) << name;
    EXPECT_NE(progress.str().find(name), std::string::npos) << progress.str();
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "out" / "bill.dxf.entities.part"));
  EXPECT_NE(
      progress.str().find("Block 6: 上窗底包角, 6 lines in 2 length classes, 18.00 m, 4.50 m²"),
      std::string::npos)
      << progress.str();
  // The sample the demo writes is the project it drew.
  EXPECT_EQ(workshop::readProjectFile(folder / "out" / "project.json").flashings.size(), 6U);
}

TEST(bill_commands_test, a_malformed_project_is_one_line_naming_the_field) {
  const TempFolder folder;
  std::string text(workshop::sampleProject());
  text.replace(text.find("\"mode\": 2"), 9, "\"mode\": 7");
  writeFile(folder / "p.json", text);
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(billRequest((folder / "p.json").string(), (folder / "out").string(), "", ""),
                    progress, errors),
            1);
  EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
  EXPECT_EQ(errors.str().rfind("kavelmor bill: " + (folder / "p.json").string() + ":24:39: ", 0),
            0U)
      << errors.str();
  EXPECT_NE(errors.str().find("currentUse[2].mode: must be 0"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));
}

TEST(bill_commands_test, a_refused_bill_leaves_no_half_written_outputs) {
  const TempFolder folder;
  std::string text(workshop::sampleProject());
  text.replace(text.find("\"textHeight\": \"300\""), 19, "\"textHeight\": \"601\"");
  writeProjectAndPlan(folder, text);
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(billRequest((folder / "p.json").string(), (folder / "out").string(),
                                (folder / "home").string(), ""),
                    progress, errors),
            1);
  EXPECT_EQ(errors.str(), "kavelmor bill: " + (folder / "p.json").string() +
                              ":2:99: project.textHeight: 请输入字高，范围：100～600，整数。\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"home", "p.json", "plan.dxf"}));
  // A named home is kept, with the database the dialog made there.
  EXPECT_TRUE(std::filesystem::exists(folder / "home" / "QORNCAD" / "Kavelmor.dat"));
}

TEST(bill_commands_test, a_plan_that_lacks_a_layer_or_cannot_be_read_is_one_line_and_no_outputs) {
  const TempFolder folder;
  std::string text(workshop::sampleProject());
  text.replace(text.find("BJ-窗侧"), std::string("BJ-窗侧").size(), "BJ-窗边");
  writeProjectAndPlan(folder, text);
  std::ostringstream progress;
  std::ostringstream errors;
  const BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_EQ(errors.str(), "kavelmor bill: " + (folder / "p.json").string() +
                              ":26:5: currentUse[4]: layer \"BJ-窗边\" is not in the plan " +
                              (folder / "plan.dxf").string() +
                              " (its layers: 0, 屋脊包角, 山墙包角, 转角包角, 窗顶包角, BJ-窗侧, "
                              "上窗底包角)\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));

  // --plan names another drawing over the project's: here a DWG.
  writeFile(folder / "old.dwg", std::string("AC1027\0\0binary", 14));
  errors.str("");
  BillRequest onDwg = request;
  onDwg.plan.plan = (folder / "old.dwg").string();
  EXPECT_EQ(runBill(onDwg, progress, errors), 1);
  EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
  EXPECT_NE(errors.str().find("a DWG drawing"), std::string::npos) << errors.str();
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));
}

TEST(bill_commands_test, a_row_without_lines_needs_a_plan) {
  const TempFolder folder;
  std::string text(workshop::sampleProject());
  text.replace(text.find("\"plan\": \"plan.dxf\","), 19, "");
  writeFile(folder / "p.json", text);
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(billRequest((folder / "p.json").string(), (folder / "out").string()), progress,
                    errors),
            1);
  EXPECT_EQ(errors.str(), "kavelmor bill: " + (folder / "p.json").string() +
                              ": rows take their lines from layers, but no plan is named: give "
                              "--plan PLAN.dxf or \"plan\" in the project file\n");
}

// A user database under KAVELMOR_HOME for the length of a test.
class UserDatabase {
 public:
  explicit UserDatabase(const std::filesystem::path& root) {
    const char* old = std::getenv("KAVELMOR_HOME");  // NOLINT(concurrency-mt-unsafe)
    if (old != nullptr) saved_ = old;
    ::setenv("KAVELMOR_HOME", root.c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
    file_ = databasePath(programDirectoryUnder(root));
  }
  UserDatabase(const UserDatabase&) = delete;
  UserDatabase& operator=(const UserDatabase&) = delete;
  ~UserDatabase() {
    if (saved_) {
      ::setenv("KAVELMOR_HOME", saved_->c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
    } else {
      ::unsetenv("KAVELMOR_HOME");  // NOLINT(concurrency-mt-unsafe)
    }
  }
  void save(const LibraryTable& table) const {
    std::filesystem::create_directories(file_.parent_path());
    saveDatabase(file_, table);
  }
  [[nodiscard]] const std::filesystem::path& file() const { return file_; }

 private:
  std::optional<std::string> saved_;
  std::filesystem::path file_;
};

std::string firstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

TEST(bill_commands_test, a_misspelt_flashing_stops_the_bill_before_anything_is_written) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  std::string text(workshop::sampleProject());
  // A row that names its layer, so that the plan has the lines.
  text.replace(text.find("彩钢墙面:窗侧包角"), std::string("彩钢墙面:窗侧包角").size(),
               "彩钢墙面:窗侧包脚");
  writeProjectAndPlan(folder, text);
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(billRequest((folder / "p.json").string(), (folder / "out").string(), "", ""),
                    progress, errors),
            1);
  EXPECT_NE(errors.str().find("currentUse[4].flashing \"彩钢墙面:窗侧包脚\": the library "
                              "\"彩钢墙面\" has no flashing \"窗侧包脚\" (its flashings: "),
            std::string::npos)
      << errors.str();
  EXPECT_NE(errors.str().find("\"窗侧包角\""), std::string::npos) << errors.str();
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"p.json", "plan.dxf"}));
}

TEST(bill_commands_test, the_bill_starts_from_the_users_database_unless_told_otherwise) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  writeProjectAndPlan(folder, workshop::sampleProject());
  const BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  std::ostringstream progress;
  std::ostringstream errors;
  // No user database yet: the built-in one, and the first line says so.
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  EXPECT_EQ(firstLine(progress.str()),
            "Database: the built-in database (there is no " + user.file().string() + " yet)");

  // The user renamed the ridge flashing: the bill uses the user's database and misses it.
  LibraryTable table = builtinLibraryTable();
  table[0].Flashings[0].Name = u"脊瓦";
  user.save(table);
  progress.str("");
  errors.str("");
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_EQ(firstLine(progress.str()), "Database: " + user.file().string());
  EXPECT_NE(errors.str().find("has no flashing \"屋脊包角\""), std::string::npos) << errors.str();

  BillRequest builtin = request;
  builtin.builtin = true;
  progress.str("");
  EXPECT_EQ(runBill(builtin, progress, errors), 0) << errors.str();
  EXPECT_EQ(firstLine(progress.str()), "Database: the built-in database");
}

TEST(bill_commands_test, a_garbage_database_is_reported_by_the_users_path) {
  const TempFolder folder;
  writeProjectAndPlan(folder, workshop::sampleProject());
  writeFile(folder / "garbage.dat", std::string(300, '\x7f'));
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(billRequest((folder / "p.json").string(), (folder / "out").string(), "",
                                (folder / "garbage.dat").string()),
                    progress, errors),
            1);
  EXPECT_EQ(errors.str().rfind("kavelmor bill: " + (folder / "garbage.dat").string() +
                                   ": not a usable database: error ",
                               0),
            0U)
      << errors.str();
  EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
  EXPECT_EQ(entries(folder.path()),
            (std::vector<std::string>{"garbage.dat", "p.json", "plan.dxf"}));
}

TEST(bill_commands_test, the_output_folder_gets_this_runs_files_and_keeps_the_users) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  std::string text(workshop::sampleProject());
  writeProjectAndPlan(folder, text);
  BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  std::ostringstream progress;
  std::ostringstream errors;
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  ASSERT_TRUE(std::filesystem::exists(folder / "out" / "06-上窗底包角.png"));

  // Without the sills, their picture goes; a file of the user's stops the run untouched.
  const auto sills = text.find(",\n    {\"flashing\": \"彩钢墙面:上窗底包角\"");
  ASSERT_NE(sills, std::string::npos);
  text.replace(sills, text.rfind(']') - sills, "\n  ");
  writeFile(folder / "p.json", text);
  writeFile(folder / "out" / "notes.txt", "mine");
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_NE(errors.str().find("out: holds files this command did not write (notes.txt)"),
            std::string::npos)
      << errors.str();
  EXPECT_TRUE(std::filesystem::exists(folder / "out" / "06-上窗底包角.png"));

  request.force = true;
  errors.str("");
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  EXPECT_EQ(entries(folder / "out"),
            (std::vector<std::string>{".kavelmor-outputs", "01-屋脊包角.png", "02-山墙包角.png",
                                      "03-转角包角.png", "04-窗顶包角.png", "05-窗侧包角.png",
                                      "bill.dxf", "bill.txt", "coil.csv", "coil_total.csv",
                                      "cutlist.csv", "cutplan.csv", "notes.txt", "shop.pdf"}));
  std::ifstream notes(folder / "out" / "notes.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}), "mine");

  // A folder of nothing but the last run's files needs no --force.
  std::filesystem::remove(folder / "out" / "notes.txt");
  request.force = false;
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"out", "p.json", "plan.dxf"}));
  EXPECT_EQ(entries(folder / "out").size(), 13U);
}

TEST(bill_commands_test, a_dash_reads_the_project_from_standard_input) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  std::istringstream input{std::string(workshop::sampleProject())};
  workshop::writeSamplePlan(folder / "plan.dxf");
  std::streambuf* const kept = std::cin.rdbuf(input.rdbuf());
  std::ostringstream progress;
  std::ostringstream errors;
  BillRequest request = billRequest("-", (folder / "out").string());
  request.plan.plan = (folder / "plan.dxf").string();
  const int status = runBill(request, progress, errors);
  std::cin.rdbuf(kept);
  EXPECT_EQ(status, 0) << errors.str();
  EXPECT_NE(progress.str().find("6 current-use rows, 33 flashing lines"), std::string::npos);
}

TEST(bill_commands_test, a_full_disk_says_so_and_names_the_file) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  writeProjectAndPlan(folder, workshop::sampleProject());
  BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  request.modelSpaceDump = "/dev/full";  // a device that is always full
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_EQ(errors.str(), "kavelmor bill: /dev/full: cannot write: No space left on device\n");
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"p.json", "plan.dxf"}));
}

TEST(bill_commands_test, names_and_fields_of_the_outputs) {
  EXPECT_EQ(workshop::pictureName(0, 6, u"屋脊包角"), "01-屋脊包角.png");
  EXPECT_EQ(workshop::pictureName(99, 676, u"a/b:c"), "100-a_b_c.png");
  EXPECT_EQ(workshop::pictureName(4, 676, u"x"), "005-x.png");
  EXPECT_EQ(workshop::csvField("天蓝色"), "天蓝色");
  EXPECT_EQ(workshop::csvField("a,b"), "\"a,b\"");
  EXPECT_EQ(workshop::csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(workshop::scaleText(1), "1:10");
  EXPECT_EQ(workshop::scaleText(2), "1:20");
  EXPECT_EQ(workshop::scaleText(5), "1:5");
  EXPECT_EQ(workshop::noteLine(u"\r\n没找到包角 a:b 属性 "), "没找到包角 a:b 属性");
}

}  // namespace
}  // namespace kvm::cli
