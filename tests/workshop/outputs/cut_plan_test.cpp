#include "platform/workshop/outputs/cut_plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kvm::workshop {
namespace {

BillEntry entryOf(std::u16string name, int width) {
  BillEntry entry;
  entry.name = std::move(name);
  entry.color = u"天蓝色";
  entry.developedWidth = width;
  return entry;
}

// Each piece names the pattern and row the coil plan lays it on; pieces of one size from two
// flashings share a row, and a flashing left out of the coil order has neither.
TEST(cut_plan_test, every_piece_names_its_pattern_and_row) {
  const auto directory = std::filesystem::temp_directory_path() / "kvm_cut_plan_test";
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory);
  const BillEntry eaves = entryOf(u"檐口包角", 600);
  const BillEntry ridge = entryOf(u"屋脊, \"A\"", 600);
  const BillEntry bare = entryOf(u"无宽", 0);
  FlashingResult first;
  first.block = 0;
  first.entry = &eaves;
  first.plan.pieces = {{0, 4000}, {0, 2300}, {1, 2300}};
  FlashingResult second;
  second.block = 1;
  second.entry = &ridge;
  second.plan.pieces = {{0, 1700}};
  FlashingResult third;
  third.block = 2;
  third.entry = &bare;
  third.plan.pieces = {{0, 1000}};

  CoilOrder order;
  order.group = {
      "天蓝色",
      0.5,
      1250,
      10,
      {{"檐口包角", 600, 4000, 1}, {"檐口包角", 600, 2300, 2}, {"屋脊, \"A\"", 600, 1700, 1}}};
  // One sheet of 4000: the 4000 on top, the two 2300 and the 1700 end to end below it.
  order.plan.patterns = {{1, 4000, {{600, {{0, 1}}}, {600, {{1, 1}, {2, 1}}}}},
                         {1, 2300, {{600, {{1, 1}}}}}};
  {
    CutPlanFile file(directory / "cutplan.csv");
    file.add(first);
    file.add(second);
    file.add(third);
    file.finish(std::vector<CoilOrder>{order});
  }
  std::ifstream in(directory / "cutplan.csv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "\xEF\xBB\xBF"
            "block,flashing,line,piece_length_mm,pattern,row\r\n"
            "1,檐口包角,1,4000,1,1\r\n"
            "1,檐口包角,1,2300,1,2\r\n"
            "1,檐口包角,2,2300,2,1\r\n"
            "2,\"屋脊, \"\"A\"\"\",1,1700,1,2\r\n"
            "3,无宽,1,1000,,\r\n");
  std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace kvm::workshop
