// Each block's flashing lines in a colour of their own, as the drawing's legend promises: a
// bill of more blocks than the six first colours still tells them apart.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/job/flashing_line_colours.h"
#include "platform/workshop/project/project_file.h"
#include "tests/storage/temp_folder.h"

namespace kvm::workshop {
namespace {

class KeptLines : public sim::DrawingSink {
 public:
  void text(const nlohmann::json& /*text*/) override {}
  void line(const sim::LineData& line) override { lines.push_back(line); }
  void polyline(const sim::PolylineData& /*polyline*/) override {}

  std::vector<sim::LineData> lines;
};

TEST(flashing_line_colours_test, every_block_of_a_long_bill_has_a_colour_of_its_own) {
  constexpr int kBlocks = 12;
  std::string rows;
  for (int block = 0; block < kBlocks; ++block) {
    const std::string y = std::to_string(1000 * block);
    rows += std::string(block == 0 ? "" : ",") +
            R"({"flashing": "彩钢板屋面:屋脊包角", "mode": 0, "lines": [{"start": [0, )" + y +
            R"(], "end": [6000, )" + y + "]}]}";
  }
  const std::string text =
      R"({"project": {"name": "车间", "plateThickness": "0.5", "lengthClassStep": "300",
          "textHeight": "300"}, "billOrigin": [0, 0], "currentUse": [)" +
      rows + "]}";
  const TempFolder folder;
  BillObserver observer;
  KeptLines drawing;
  runBillJob(parseProject(text, "p.json"), {folder.path(), {2016, 3, 2}}, observer, drawing);

  std::vector<int32_t> colours;
  for (const sim::LineData& line : drawing.lines) {
    if (line.layer == u"BJ-包角线") colours.push_back(line.color);
  }
  ASSERT_EQ(colours.size(), std::size_t{kBlocks});
  EXPECT_EQ(std::vector<int32_t>(colours.begin(), colours.begin() + 6),
            (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(std::set<int32_t>(colours.begin(), colours.end()).size(), std::size_t{kBlocks});
}

TEST(flashing_line_colours_test, the_colours_are_distinct_drawing_colours_then_repeat) {
  std::set<int32_t> seen;
  for (std::size_t block = 0; block < kDistinctLineColours; ++block) {
    const int32_t colour = flashingLineColour(block);
    // Not 7, the bill's own (black or white by the background), nor the greys 8 and 9.
    EXPECT_TRUE((colour >= 1 && colour <= 6) || (colour >= 10 && colour <= 249)) << block;
    // Red to magenta once: 10, 50, …, 210 are the same colours as 1 to 6.
    EXPECT_TRUE(colour < 10 || colour % 40 != 10) << block;
    EXPECT_TRUE(seen.insert(colour).second) << block << ": " << colour;
  }
  EXPECT_EQ(flashingLineColour(kDistinctLineColours), 1);
  EXPECT_EQ(flashingLineColour(kDistinctLineColours + 8), flashingLineColour(8));
}

}  // namespace
}  // namespace kvm::workshop
