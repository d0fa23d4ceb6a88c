#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
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
  for (const char* name : {"project.json", "plan.dxf", "bill.dxf", "bill.txt", "bill.csv",
                           "cutlist.csv", "cutplan.csv", "01-屋脊包角.png", "06-上窗底包角.png"}) {
    EXPECT_TRUE(std::filesystem::exists(folder / "out" / name)) << name;
    EXPECT_NE(progress.str().find(name), std::string::npos) << progress.str();
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "out" / "bill.dxf.entities.part"));
  EXPECT_NE(progress.str().find(
                "Block 6: 上窗底包角, 6 lines in 2 length classes, 6 pieces, 17.40 m, 4.35 m²"),
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
  // Named by its place, as other errors in the project file are.
  EXPECT_NE(errors.str().find((folder / "p.json").string() + ":26:18: currentUse[4].flashing"),
            std::string::npos)
      << errors.str();
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

// Nothing from a file that is no database reaches the terminal unescaped.
bool printable(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F;
  });
}

TEST(bill_commands_test, a_garbage_database_is_reported_by_the_users_path) {
  const TempFolder folder;
  writeProjectAndPlan(folder, workshop::sampleProject());
  // The bytes up to the terminal title, NUL and escapes included.
  constexpr char kNoise[] = "\x07\x00\x1b[31m\x1b]0;title\x07";
  std::string noise(kNoise, sizeof kNoise - 1);
  std::mt19937 random(7);
  for (int i = 0; i < 4000; ++i) {
    noise.push_back(static_cast<char>(random() & 0xFF));
  }
  struct Case {
    const char* name;
    std::string bytes;
    std::string says;
  };
  for (const Case& garbage :
       {Case{"sevens.dat", std::string(300, '\x7f'), ": not a flashing database: error "},
        Case{"noise.dat", noise, ": not a flashing database: error "},
        Case{"empty.dat", "", ": the file is empty"}}) {
    writeFile(folder / garbage.name, garbage.bytes);
    std::ostringstream progress;
    std::ostringstream errors;
    EXPECT_EQ(runBill(billRequest((folder / "p.json").string(), (folder / "out").string(), "",
                                  (folder / garbage.name).string()),
                      progress, errors),
              1);
    EXPECT_EQ(
        errors.str().rfind("kavelmor bill: " + (folder / garbage.name).string() + garbage.says, 0),
        0U)
        << errors.str();
    EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
    EXPECT_TRUE(printable(errors.str()) && printable(progress.str())) << errors.str();
    EXPECT_FALSE(std::filesystem::exists(folder / "out"));
    std::filesystem::remove(folder / garbage.name);
  }
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
  EXPECT_EQ(
      entries(folder / "out"),
      (std::vector<std::string>{".kavelmor-outputs", "01-屋脊包角.png", "02-山墙包角.png",
                                "03-转角包角.png", "04-窗顶包角.png", "05-窗侧包角.png", "bill.csv",
                                "bill.dxf", "bill.txt", "coil.csv", "coil_total.csv", "cutlist.csv",
                                "cutplan.csv", "notes.txt", "shop.pdf"}));
  std::ifstream notes(folder / "out" / "notes.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}), "mine");

  // A folder of nothing but the last run's files needs no --force.
  std::filesystem::remove(folder / "out" / "notes.txt");
  request.force = false;
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"out", "p.json", "plan.dxf"}));
  EXPECT_EQ(entries(folder / "out").size(), 14U);
}

// Whatever its name, a file the folder's list does not hold is the user's: no run replaces
// it, --force or not, and the folder is left as it was.
TEST(bill_commands_test, a_file_of_the_users_under_an_outputs_name_stops_the_run) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  writeProjectAndPlan(folder, workshop::sampleProject());
  BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  std::filesystem::create_directories(folder / "out");
  const auto refusedFor = [&](const std::vector<std::string>& mine, const std::string& named,
                              const std::vector<bool>& forces) {
    std::ostringstream progress;
    std::ostringstream errors;
    for (const std::string& name : mine) writeFile(folder / "out" / name, "mine");
    for (const bool force : forces) {
      request.force = force;
      errors.str("");
      EXPECT_EQ(runBill(request, progress, errors), 1);
      EXPECT_NE(errors.str().find("out: holds files this command did not write (" + named +
                                  ") under the names of its outputs; they are left alone, with "
                                  "or without --force"),
                std::string::npos)
          << errors.str();
      EXPECT_EQ(lineCount(errors.str()), 1U) << errors.str();
      EXPECT_EQ(entries(folder / "out"), mine);
      for (const std::string& name : mine) {
        std::ifstream in(folder / "out" / name);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine") << name;
      }
    }
    std::filesystem::remove_all(folder / "out");
    std::filesystem::create_directories(folder / "out");
  };
  refusedFor({"bill.txt"}, "bill.txt", {false, true});
  refusedFor({"cutlist.csv", "notes.txt"}, "cutlist.csv", {false, true});
  // A picture's name is known once its flashing is drawn; the check before the commit finds it.
  refusedFor({"03-转角包角.png"}, "03-转角包角.png", {true});

  // Beside a folder the last run listed, as beside any other.
  request.force = false;
  std::ostringstream progress;
  std::ostringstream errors;
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  std::filesystem::remove(folder / "out" / "shop.pdf");
  writeFile(folder / "out" / "shop.pdf", "mine");
  request.force = true;
  EXPECT_EQ(runBill(request, progress, errors), 0) << errors.str();  // listed: ours
  writeFile(folder / "out" / ".kavelmor-outputs", "bill.txt\n");
  writeFile(folder / "out" / "cutplan.csv", "mine");
  errors.str("");
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_NE(
      errors.str().find(
          "(bill.csv, bill.dxf, coil.csv, coil_total.csv, cutlist.csv and 2 more) under the names "
          "of its outputs"),
      std::string::npos)
      << errors.str();
}

// A folder an older version wrote has no list: taken for one only with the bill.dxf and
// cutlist.csv every such run wrote, and then only files under the names it gave its outputs
// are replaced; nothing of it is removed.
TEST(bill_commands_test, a_folder_an_older_version_wrote_is_replaced_file_by_file) {
  const TempFolder folder;
  const UserDatabase user(folder / "user");
  writeProjectAndPlan(folder, workshop::sampleProject());
  BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  std::filesystem::create_directories(folder / "out");
  for (const char* name : {"bill.dxf", "cutlist.csv", "bill.txt", "01-屋脊包角.png", "09-旧.png"}) {
    writeFile(folder / "out" / name, "older");
  }
  std::ostringstream progress;
  std::ostringstream errors;
  ASSERT_EQ(runBill(request, progress, errors), 0) << errors.str();
  std::ifstream cutList(folder / "out" / "cutlist.csv");
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(cutList), {}), "older");
  std::ifstream old(folder / "out" / "09-旧.png");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "older");
  // Not written again, it is not listed: the user's from now on.
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_NE(errors.str().find("out: holds files this command did not write (09-旧.png); "),
            std::string::npos)
      << errors.str();

  // Without the drawing it is no older run's folder: the project kept there is the user's.
  std::filesystem::remove_all(folder / "out");
  std::filesystem::create_directories(folder / "out");
  writeFile(folder / "out" / "cutlist.csv", "mine");
  writeFile(folder / "out" / "project.json", "mine");
  request.force = true;
  errors.str("");
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_NE(errors.str().find("(cutlist.csv) under the names of its outputs"), std::string::npos)
      << errors.str();
  EXPECT_EQ(entries(folder / "out"), (std::vector<std::string>{"cutlist.csv", "project.json"}));
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
  EXPECT_EQ(errors.str(),
            "kavelmor bill: /dev/full: cannot write: No space left on device; free some space "
            "there, or name another folder\n");
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

namespace kvm::cli {
namespace {

// A ridge drawn once whole and once again in part, and a stub, on the ridge's layer.
constexpr const char* kRidgeTwicePlan =
    "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1021\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLINE\n8\n屋脊包角\n10\n0\n20\n7400\n11\n30000\n21\n7400\n"
    "0\nLINE\n8\n屋脊包角\n10\n20000\n20\n7400\n11\n10000\n21\n7400\n"
    "0\nLINE\n8\n屋脊包角\n10\n40000\n20\n7400\n11\n40003\n21\n7400\n"
    "0\nENDSEC\n0\nEOF\n";

constexpr const char* kRidgeProject = R"({
  "project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": "300",
              "textHeight": "300"},
  "billOrigin": [36000, 14800], "plan": "plan.dxf",
  "prices": {"sheet": {"天兰色/0.5": 38.5}},
  "currentUse": [{"flashing": "彩钢板屋面:屋脊包角", "mode": 0}]
})";

TEST(bill_commands_test, a_plan_with_a_line_drawn_twice_is_refused_unless_allowed) {
  const TempFolder folder;
  writeFile(folder / "p.json", kRidgeProject);
  writeFile(folder / "plan.dxf", kRidgeTwicePlan);
  BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  request.builtin = true;
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(request, progress, errors), 1);
  EXPECT_EQ(errors.str(),
            "kavelmor bill: lines drawn twice, each a flashing the bill would install twice "
            "(remove one line of each pair, or give --allow-overlaps to bill them as drawn):\n  " +
                (folder / "p.json").string() +
                ":6:18: currentUse[0] (彩钢板屋面:屋脊包角): layer 屋脊包角, the line from (0, "
                "7400) to (30000, 7400) and layer 屋脊包角, the line from (20000, 7400) to "
                "(10000, 7400) lie on each other for 10 m\n");
  EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"p.json", "plan.dxf"}));

  request.allowOverlaps = true;
  std::ostringstream allowed;
  ASSERT_EQ(runBill(request, allowed, errors), 0) << errors.str();
  const std::string said = allowed.str();
  const std::size_t overlap =
      said.find("Warning: " + (folder / "p.json").string() +
                ":6:18: currentUse[0] (彩钢板屋面:屋脊包角): layer 屋脊包角, "
                "the line from (0, 7400) to (30000, 7400) and layer");
  const std::size_t stub = said.find(
      "layer 屋脊包角, the line from (40000, 7400) to (40003, 7400) "
      "is 3 mm long, shorter than the flashing's overlap (");
  const std::size_t price = said.find(
      ":5:35: prices.sheet.天兰色/0.5: \"天兰色/0.5\" names no "
      "colour and thickness of the bill");
  ASSERT_NE(overlap, std::string::npos) << said;
  ASSERT_NE(stub, std::string::npos) << said;
  ASSERT_NE(price, std::string::npos) << said;
  // All of it is said before anything is written.
  EXPECT_LT(std::max({overlap, stub, price}), said.find("Wrote")) << said;
}

TEST(bill_commands_test, a_row_given_twice_names_both_rows_by_line_and_column) {
  const TempFolder folder;
  std::string text = kRidgeProject;
  text.replace(text.find("]\n}"), 0, ",\n    {\"flashing\": \"彩钢板屋面:屋脊包角\", \"mode\": 2}");
  writeFile(folder / "p.json", text);
  writeFile(folder / "plan.dxf", kRidgeTwicePlan);
  BillRequest request = billRequest((folder / "p.json").string(), (folder / "out").string());
  request.builtin = true;
  std::ostringstream progress;
  std::ostringstream errors;
  EXPECT_EQ(runBill(request, progress, errors), 1);
  const std::string file = (folder / "p.json").string();
  EXPECT_EQ(errors.str(), "kavelmor bill: " + file +
                              ":7:5: currentUse[1]: the same flashing with the same layers as " +
                              file +
                              ":6:18: currentUse[0]: each of its lines would be billed twice; "
                              "remove one of the rows\n");
}

}  // namespace
}  // namespace kvm::cli
