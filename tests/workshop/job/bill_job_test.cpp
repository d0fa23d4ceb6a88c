#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "model/current_use.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/job/bill_request.h"
#include "platform/workshop/job/row_checks.h"
#include "platform/workshop/project/current_use_rows.h"
#include "platform/workshop/project/project_file.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"
#include "storage/program_directory.h"
#include "tests/storage/temp_folder.h"

namespace kvm::workshop {
namespace {

class KeptDrawing : public sim::DrawingSink {
 public:
  void text(const nlohmann::json& text) override { texts.push_back(text); }
  void line(const sim::LineData& line) override { lines.push_back(line); }
  void polyline(const sim::PolylineData& polyline) override { polylines.push_back(polyline); }

  // The first text with this string.
  const nlohmann::json& find(const std::string& text) const {
    for (const auto& each : texts) {
      if (each["text"] == text) return each;
    }
    static const nlohmann::json none;
    return none;
  }

  std::vector<nlohmann::json> texts;
  std::vector<sim::LineData> lines;
  std::vector<sim::PolylineData> polylines;
};

class KeptResults : public BillObserver {
 public:
  void billReceived(const BillRecord& received, std::u16string_view /*record*/,
                    const std::vector<const ProjectFlashing*>& rows,
                    const std::vector<std::u16string>& received_notes) override {
    bill = received;
    currentUse.clear();
    for (const ProjectFlashing* row : rows) currentUse.push_back(row->currentUse);
    notes = received_notes;
  }
  void flashingDrawn(const FlashingResult& result) override {
    results.push_back(result);
    results.back().entry = nullptr;  // the bill it points into goes away with the job
    results.back().flashing = nullptr;
  }

  BillRecord bill;
  std::vector<std::u16string> currentUse;
  std::vector<std::u16string> notes;
  std::vector<FlashingResult> results;
};

std::string project(const std::string& textHeight, const std::string& currentUse) {
  return R"({"project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": "300",
             "textHeight": ")" +
         textHeight + R"("}, "billOrigin": [0, 0], "currentUse": [)" + currentUse + "]}";
}

const std::string kRidge = R"({"flashing": "彩钢板屋面:屋脊包角", "mode": 0,
    "lines": [{"start": [0, 7400], "end": [30000, 7400]}]})";
const std::string kMissing = R"({"flashing": "无此仓库:无此包角", "mode": 0,
    "lines": [{"start": [0, 0], "end": [0, 900]}]})";
const std::string kMisspelt = R"({"flashing": "彩钢墙面:转角包", "mode": 0,
    "lines": [{"start": [0, 0], "end": [0, 900]}]})";
const std::string kCorner = R"({"flashing": "彩钢墙面:转角包角", "mode": 2, "lines": [
    {"start": [0, 0], "end": [0, 5850]}, {"start": [9, 0], "end": [9, 5850]},
    {"start": [0, 9], "end": [0, 5859]}, {"start": [1, 1], "end": [1, 5851]}]})";

class BillJobTest : public ::testing::Test {
 protected:
  void run(const std::string& text) {
    runBillJob(parseProject(text, "p.json"),
               {folder_.path(), {2016, 3, 2}, nullptr, allowOverlaps_}, results_, drawing_);
  }

  template <typename Error = BillRequestError>
  std::string refusal(const std::string& text) {
    try {
      run(text);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  }

  // The field and the layers a refusal carries for a front end to show it by.
  using Place = std::pair<std::string, std::vector<std::string>>;
  template <typename Error>
  Place place(const std::string& text) {
    try {
      run(text);
    } catch (const Error& error) {
      return {error.field(), error.layers()};
    }
    return {"no refusal", {}};
  }

  TempFolder folder_;
  KeptResults results_;
  KeptDrawing drawing_;
  // The corner's lines lie partly on each other: these tests are of the bill, not the plan.
  bool allowOverlaps_ = true;
};

TEST_F(BillJobTest, draws_each_flashing_of_the_bill) {
  run(project("300", kRidge + "," + kCorner));

  EXPECT_EQ(results_.bill.header.date, u"2016.3.2");
  EXPECT_EQ(results_.currentUse,
            (std::vector<std::u16string>{u"彩钢板屋面:屋脊包角", u"彩钢墙面:转角包角"}));
  EXPECT_TRUE(results_.notes.empty());

  ASSERT_EQ(results_.results.size(), 2U);
  const FlashingResult& ridge = results_.results[0];
  ASSERT_EQ(ridge.rows.size(), 1U);
  // 30000 + 100 in pieces of at most 3900: 8 pieces of 30100 / 8 + 100 = 3862.5, rounded up.
  EXPECT_EQ(ridge.rows[0].lengthClass, (LengthClass{30000, 1}));
  EXPECT_EQ(ridge.rows[0].pieceLength, 3863);
  EXPECT_EQ(ridge.rows[0].pieces, 8);
  EXPECT_EQ(ridge.areaText, u"15.45");
  EXPECT_EQ(ridge.lengthText, u"30.90");
  const FlashingResult& corner = results_.results[1];
  ASSERT_EQ(corner.rows.size(), 1U);
  // Four lines of 5850 in the 6000 class: 4 × 6100 in full pieces, 24400 / 3900 = 6.3.
  EXPECT_EQ(corner.rows[0].lengthClass, (LengthClass{6000, 4}));
  EXPECT_EQ(corner.rows[0].pieceLength, 4000);
  EXPECT_EQ(corner.rows[0].pieces, 6.3);
  EXPECT_EQ(corner.rows[0].countText, u"6.3");
  EXPECT_EQ(corner.lengthText, u"25.20");
  EXPECT_TRUE(corner.messages.empty());

  // The component's texts stand where its block grid puts them.
  EXPECT_EQ(drawing_.find("3863")["alignmentPoint"], nlohmann::json::parse("[1550, -3050, 0]"));
  EXPECT_EQ(drawing_.find("8")["alignmentPoint"], nlohmann::json::parse("[3550, -3050, 0]"));
  EXPECT_EQ(drawing_.find("6.3")["alignmentPoint"], nlohmann::json::parse("[3550, -6530, 0]"));
  EXPECT_EQ(drawing_.find("累计面积 12.60m")["alignmentPoint"],
            nlohmann::json::parse("[4115, -5160, 0]"));
  EXPECT_EQ(drawing_.find("2  转角包角")["layer"], "BJ-清单");
  for (const auto& text : drawing_.texts) {
    EXPECT_EQ(text["style"], "HZTXT") << text;
    EXPECT_EQ(text["scaleFactor"], 0.7) << text;
  }
  // The flashing lines in their block's colour, and one sketch per block.
  ASSERT_EQ(drawing_.lines.size(), 5U);
  EXPECT_EQ(drawing_.lines[0].layer, u"BJ-包角线");
  EXPECT_EQ(drawing_.lines[0].color, 1);
  EXPECT_EQ(drawing_.lines[4].color, 2);
  ASSERT_EQ(drawing_.polylines.size(), 2U);
  EXPECT_EQ(drawing_.polylines[0].layer, u"BJ-包角");
  EXPECT_EQ(drawing_.polylines[0].vertices.front().x, 100);  // on the block point's left edge
}

TEST_F(BillJobTest, the_dialogs_refusal_of_a_setting_names_its_place_in_the_file) {
  EXPECT_EQ(refusal<ProjectError>(project("99", kRidge)),
            "p.json:2:28: project.textHeight: 请输入字高，范围：100～600，整数。");
  std::string text = project("300", kRidge);
  text.replace(text.find("\"0.5\""), 5, "\"0.05\"");
  EXPECT_EQ(refusal<ProjectError>(text),
            "p.json:1:46: project.plateThickness: 请输入包角板厚度，范围：0.1～10，3位小数。");
  EXPECT_TRUE(results_.results.empty());
}

TEST_F(BillJobTest, a_row_naming_no_stored_flashing_stops_the_job_before_the_bill) {
  const std::string message =
      refusal<UnknownFlashingError>(project("300", kRidge + "," + kMisspelt + "," + kMissing));
  EXPECT_EQ(message,
            "p.json:3:73: currentUse[1].flashing \"彩钢墙面:转角包\": the library \"彩钢墙面\" has "
            "no flashing "
            "\"转角包\" (its flashings: \"转角包角\", \"窗顶包角\", \"窗侧包角\", \"上窗底包角\", "
            "\"女儿墙顶包角a\", \"女儿墙顶包角b\")\n"
            "p.json:4:65: currentUse[2].flashing \"无此仓库:无此包角\": the database has no "
            "library \"无此仓库\" "
            "(its libraries: \"彩钢板屋面\", \"彩钢墙面\", \"芯板屋面\\r\\n\", \"芯板墙面\", "
            "\"门框包角\", \"天窗包角\")");
  EXPECT_TRUE(results_.results.empty());
  EXPECT_TRUE(drawing_.texts.empty());
}

// A line of 1,000 km (a plan in metres read as millimetres) is no flashing: it is refused by
// its row and line before the component is started, not cut into a billion pieces.
TEST_F(BillJobTest, a_line_longer_than_any_flashing_is_refused_before_the_bill) {
  const std::string far = R"({"flashing": "彩钢板屋面:屋脊包角", "mode": 1, "lines": [
      {"start": [0, 0], "end": [0, 900]}, {"start": [0, 0], "end": [1000000000, 0]}]})";
  EXPECT_EQ(refusal<std::runtime_error>(project("300", kRidge + "," + far)),
            "current-use row 2 (彩钢板屋面:屋脊包角): line 2 is 1000000 m long; a flashing line "
            "is at most 1000 m");
  EXPECT_TRUE(results_.results.empty());
  EXPECT_TRUE(drawing_.texts.empty());
}

TEST_F(BillJobTest, a_name_matches_a_stored_name_without_its_trailing_line_break) {
  LibraryTable table = builtinLibraryTable();
  table[0].Flashings[0].Name += u" \r\n";
  std::filesystem::create_directories(programDirectoryUnder(folder_.path()));
  saveDatabase(databasePath(programDirectoryUnder(folder_.path())), table);
  run(project("300", kRidge));
  ASSERT_EQ(results_.results.size(), 1U);
  EXPECT_EQ(results_.currentUse, (std::vector<std::u16string>{u"彩钢板屋面:屋脊包角 \r\n"}));

  // Two stored names that both answer to the typed one leave the choice to the user.
  table[0].Flashings[1].Name = u"屋脊包角";
  saveDatabase(databasePath(programDirectoryUnder(folder_.path())), table);
  EXPECT_EQ(refusal<UnknownFlashingError>(project("300", kRidge)),
            "p.json:2:86: currentUse[0].flashing \"彩钢板屋面:屋脊包角\": two stored flashings "
            "answer to this "
            "name: \"屋脊包角 \\r\\n\", \"屋脊包角\"");
}

TEST_F(BillJobTest, a_class_the_component_cannot_split_is_marked) {
  // Pieces of at most 300 with an overlap of 300 leave nothing to cut with.
  LibraryTable table = builtinLibraryTable();
  table[0].Flashings[0].MaxCutLength = 300;
  table[0].Flashings[0].Overlap = 300;
  std::filesystem::create_directories(programDirectoryUnder(folder_.path()));
  saveDatabase(databasePath(programDirectoryUnder(folder_.path())), table);
  run(project("300", kRidge));
  ASSERT_EQ(results_.results.size(), 1U);
  ASSERT_EQ(results_.results[0].rows.size(), 1U);
  const ClassRow& row = results_.results[0].rows[0];
  EXPECT_FALSE(row.split);
  EXPECT_EQ(row.pieceLength, 1);
  EXPECT_EQ(row.pieces, 1);
}

// A random project over the built-in database: a few rows of any mode, lines of any length
// and direction, any class step.
std::string randomProject(std::mt19937& random, const std::vector<std::string>& flashings) {
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const std::array<int, 4> steps{0, 100, 300, 500};
  std::string rows;
  std::vector<std::string> names = flashings;
  std::shuffle(names.begin(), names.end(), random);
  const int rowCount = pick(1, 4);
  for (int row = 0; row < rowCount; ++row) {
    std::string lines;
    const int lineCount = pick(1, 12);
    for (int line = 0; line < lineCount; ++line) {
      const double length = pick(50, 40000);
      const double angle = pick(0, 359) * 3.14159265358979 / 180;
      lines += (line == 0 ? "" : ",") + std::string(R"({"start": [0, 0], "end": [)") +
               std::to_string(length * std::cos(angle)) + ", " +
               std::to_string(length * std::sin(angle)) + "]}";
    }
    rows += (row == 0 ? "" : ",") + std::string(R"({"flashing": ")") +
            names[static_cast<std::size_t>(row)] + R"(", "mode": )" + std::to_string(pick(0, 2)) +
            R"(, "lines": [)" + lines + "]}";
  }
  return R"({"project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": ")" +
         std::to_string(steps.at(static_cast<std::size_t>(pick(0, 3)))) +
         R"(", "textHeight": "300"}, "billOrigin": [0, 0], "currentUse": [)" + rows + "]}";
}

// Every line of every row is covered by its pieces with their overlaps, and no count row gets
// fewer whole pieces than the component's count, fractional or not.
TEST(bill_job_plan_test, the_cutting_plan_covers_every_line_and_never_cuts_fewer_pieces) {
  std::vector<std::string> flashings;
  for (const FlashingLibrary& library : builtinLibraryTable()) {
    for (const Flashing& flashing : library.Flashings) {
      if (flashing.hasProfile()) {
        // As a user types them: without the line break some stored names end in.
        std::string name = toUtf8(currentUseEntry(library.Name, flashing.Name));
        std::erase_if(name, [](char c) { return c == '\r' || c == '\n'; });
        flashings.push_back(name);
      }
    }
  }
  std::mt19937 random(4711);
  std::size_t rows = 0;
  for (int run = 0; run < 200; ++run) {
    const std::string text = randomProject(random, flashings);
    const Project project = parseProject(text, "random.json");
    const TempFolder home;
    KeptResults results;
    KeptDrawing drawing;
    // Random lines from the origin fall on each other: billed as drawn.
    runBillJob(project, {home.path(), {2016, 3, 2}, nullptr, true}, results, drawing);
    ASSERT_EQ(results.results.size(), project.flashings.size()) << text;
    const auto step = static_cast<int32_t>(std::stoi(toUtf8(results.bill.header.lengthClassStep)));
    for (std::size_t i = 0; i < results.results.size(); ++i) {
      const FlashingResult& result = results.results[i];
      const BillEntry& entry = results.bill.entries[i];
      std::size_t planned = 0;
      for (const ClassRow& row : result.rows) {
        EXPECT_GE(static_cast<double>(row.piecesToCut), row.pieces) << text;
        planned += row.piecesToCut;
        ++rows;
      }
      EXPECT_EQ(planned, result.plan.pieces.size());
      for (std::size_t line = 0; line < project.flashings[i].lines.size(); ++line) {
        const PlanLine& drawn = project.flashings[i].lines[line];
        const int64_t length =
            classLength(
                flashingLength(std::hypot(drawn.endX - drawn.startX, drawn.endY - drawn.startY),
                               entry.lengthFactor),
                step) +
            entry.endExtension;
        std::vector<PlannedPiece> pieces;
        for (const PlannedPiece& piece : result.plan.pieces) {
          if (piece.line == line) pieces.push_back(piece);
        }
        EXPECT_GE(coveredLength(pieces, entry.overlap), length)
            << "row " << i << " line " << line << " of " << text;
      }
    }
  }
  EXPECT_GT(rows, 400U);
}

}  // namespace
}  // namespace kvm::workshop

namespace kvm::workshop {
namespace {

// A ridge drawn twice, and a stub of 3 mm that would become a whole piece.
const std::string kRidgeTwice = R"({"flashing": "彩钢板屋面:屋脊包角", "mode": 0, "lines": [
    {"start": [0, 7400], "end": [30000, 7400]}, {"start": [30000, 7400], "end": [0, 7400]},
    {"start": [0, 0], "end": [3, 0]}]})";

TEST_F(BillJobTest, a_refusal_carries_the_field_it_concerns) {
  EXPECT_EQ(place<ProjectError>(project("99", kRidge)), (Place{"project.textHeight", {}}));
  EXPECT_EQ(place<UnknownFlashingError>(project("300", kRidge + "," + kMisspelt + "," + kMissing)),
            (Place{"currentUse[1].flashing", {}}));
  allowOverlaps_ = false;
  // Lines the project gives are on no layer.
  EXPECT_EQ(place<OverlappingLinesError>(project("300", kRidge + "," + kRidgeTwice)),
            (Place{"currentUse[1]", {}}));
}

TEST_F(BillJobTest, lines_drawn_twice_are_refused_naming_both_unless_allowed) {
  allowOverlaps_ = false;
  EXPECT_EQ(refusal<OverlappingLinesError>(project("300", kRidgeTwice)),
            "lines drawn twice, each a flashing the bill would install twice (remove one line of "
            "each pair, or give --allow-overlaps to bill them as drawn):\n"
            "  p.json:2:73: currentUse[0] (彩钢板屋面:屋脊包角): lines[0], the line from (0, 7400) "
            "to (30000, 7400) and lines[1], the line from (30000, 7400) to (0, 7400) lie on each "
            "other for 30 m");
  EXPECT_TRUE(results_.results.empty());

  std::ostringstream progress;
  runBillJob(parseProject(project("300", kRidgeTwice), "p.json"),
             {folder_.path(), {2016, 3, 2}, &progress, true}, results_, drawing_);
  EXPECT_EQ(results_.results.size(), 1U);
  EXPECT_NE(progress.str().find("Warning: p.json:2:73: currentUse[0] (彩钢板屋面:屋脊包角): "
                                "lines[0], the line from (0, 7400) to (30000, 7400) and lines[1]"),
            std::string::npos)
      << progress.str();
  EXPECT_NE(progress.str().find("billed twice, as --allow-overlaps asks\n"), std::string::npos);
  EXPECT_NE(progress.str().find("lines[2], the line from (0, 0) to (3, 0) is 3 mm long, shorter "
                                "than the flashing's overlap ("),
            std::string::npos)
      << progress.str();
}

TEST_F(BillJobTest, a_sheet_price_for_no_colour_of_the_bill_is_said_with_the_bills_keys) {
  std::string text = project("300", kRidge);
  text.replace(text.find("\"currentUse\""), 0, "\"prices\": {\"sheet\": {\"天兰色/0.5\": 3}}, ");
  std::ostringstream progress;
  runBillJob(parseProject(text, "p.json"), {folder_.path(), {2016, 3, 2}, &progress}, results_,
             drawing_);
  EXPECT_NE(progress.str().find("Warning: p.json:2:"), std::string::npos) << progress.str();
  EXPECT_NE(progress.str().find("prices.sheet.天兰色/0.5: \"天兰色/0.5\" names no colour and "
                                "thickness of the bill, so it prices nothing (the bill's: "),
            std::string::npos)
      << progress.str();
}

}  // namespace
}  // namespace kvm::workshop
