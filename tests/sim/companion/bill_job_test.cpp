#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "platform/sim/companion/bill_job.h"
#include "platform/sim/companion/bill_request.h"
#include "platform/sim/companion/project_file.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"
#include "storage/program_directory.h"
#include "tests/storage/temp_folder.h"

namespace kvm::companion {
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
const std::string kMissing = R"({"flashing": "无此仓库:无此包角", "mode": 0, "lines": []})";
const std::string kCorner = R"({"flashing": "彩钢墙面:转角包角", "mode": 2, "lines": [
    {"start": [0, 0], "end": [0, 5850]}, {"start": [9, 0], "end": [9, 5850]},
    {"start": [0, 9], "end": [0, 5859]}, {"start": [1, 1], "end": [1, 5851]}]})";

class BillJobTest : public ::testing::Test {
 protected:
  void run(const std::string& text) {
    runBillJob(parseProject(text, "p.json"), {folder_.path(), {2016, 3, 2}}, results_, drawing_);
  }

  std::string refusal(const std::string& text) {
    try {
      run(text);
    } catch (const BillRequestError& error) {
      return error.what();
    }
    return "";
  }

  TempFolder folder_;
  KeptResults results_;
  KeptDrawing drawing_;
};

TEST_F(BillJobTest, draws_each_flashing_of_the_bill_and_leaves_out_missing_rows) {
  run(project("300", kRidge + "," + kMissing + "," + kCorner));

  EXPECT_EQ(results_.bill.header.date, u"2016.3.2");
  EXPECT_EQ(results_.currentUse,
            (std::vector<std::u16string>{u"彩钢板屋面:屋脊包角", u"彩钢墙面:转角包角"}));
  ASSERT_EQ(results_.notes.size(), 1U);
  EXPECT_NE(results_.notes[0].find(u"没找到包角 无此仓库:无此包角 属性"), std::u16string::npos);

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

TEST_F(BillJobTest, the_dialog_refuses_bad_project_settings) {
  EXPECT_EQ(
      refusal(project("99", kRidge)),
      "the settings dialog kept the bill back; it showed: 请输入字高，范围：100～600，整数。");
  EXPECT_TRUE(results_.results.empty());
}

TEST_F(BillJobTest, a_bill_without_a_flashing_found_is_refused) {
  const std::string message = refusal(project("300", kMissing));
  EXPECT_NE(message.find("没找到包角 无此仓库:无此包角 属性"), std::string::npos) << message;
  EXPECT_NE(message.find("在当前使用包角列表中没找到有效的包角数据。"), std::string::npos)
      << message;
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

}  // namespace
}  // namespace kvm::companion
