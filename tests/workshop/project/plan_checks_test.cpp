#include "platform/workshop/project/plan_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "tests/storage/temp_folder.h"

namespace kvm::workshop {
namespace {

std::vector<std::pair<std::size_t, std::size_t>> pairs(const std::vector<PlanLine>& lines) {
  std::vector<std::pair<std::size_t, std::size_t>> found;
  for (const LineOverlap& overlap : findOverlaps(lines)) {
    found.emplace_back(overlap.first, overlap.second);
  }
  return found;
}

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

TEST(plan_checks_test, a_line_drawn_twice_either_way_round_is_found_with_its_length) {
  const std::vector<PlanLine> lines{
      {0, 7400, 30000, 7400}, {0, 0, 0, 5000}, {30000, 7400, 0, 7400}, {0, 5000, 0, 0}};
  const std::vector<LineOverlap> overlaps = findOverlaps(lines);
  ASSERT_EQ(overlaps.size(), 2U);
  EXPECT_EQ(overlaps[0].first, 0U);
  EXPECT_EQ(overlaps[0].second, 2U);
  EXPECT_DOUBLE_EQ(overlaps[0].length, 30000);
  EXPECT_EQ(overlaps[1].first, 1U);
  EXPECT_EQ(overlaps[1].second, 3U);
}

TEST(plan_checks_test, collinear_lines_overlap_only_beyond_the_tolerance) {
  // Part of a longer line, on a diagonal.
  EXPECT_EQ(pairs({{0, 0, 3000, 3000}, {1000, 1000, 2000, 2000}}), (Pairs{{0, 1}}));
  // A line continued: end to end, and within the tolerance of it.
  EXPECT_EQ(pairs({{0, 0, 3000, 0}, {3000, 0, 6000, 0}}), Pairs{});
  EXPECT_EQ(pairs({{0, 0, 3000, 0}, {2999.6, 0, 6000, 0}}), Pairs{});
  EXPECT_EQ(pairs({{0, 0, 3000, 0}, {2999, 0, 6000, 0}}), (Pairs{{0, 1}}));
  // Parallel, a millimetre apart: two flashings, not one twice.
  EXPECT_EQ(pairs({{0, 0, 3000, 0}, {0, 1, 3000, 1}}), Pairs{});
  // Crossing, and collinear with a gap between.
  EXPECT_EQ(pairs({{0, 0, 3000, 0}, {1500, -1500, 1500, 1500}}), Pairs{});
  EXPECT_EQ(pairs({{0, 0, 1000, 0}, {2000, 0, 3000, 0}}), Pairs{});
}

TEST(plan_checks_test, a_copy_off_by_rounding_is_still_the_same_line) {
  // Drawn once left to right, once right to left a hair below: the directions fall on both
  // sides of the axis.
  EXPECT_EQ(pairs({{0, 7400, 30000, 7400}, {30000, 7399.9999, 0, 7400.0001}}), (Pairs{{0, 1}}));
  const double turn = 0.5;
  const PlanLine slanted{0, 0, 5000 * std::cos(turn), 5000 * std::sin(turn)};
  EXPECT_EQ(pairs({slanted, {slanted.endX, slanted.endY, 1e-7, -1e-7}}), (Pairs{{0, 1}}));
}

TEST(plan_checks_test, each_of_many_lines_on_one_carrier_is_named_once) {
  // A ridge drawn as 1000 pieces end to end, one of them drawn again, three times.
  std::vector<PlanLine> lines;
  lines.reserve(1002);
  for (int i = 0; i < 1000; ++i) {
    lines.push_back({i * 100.0, 0, (i + 1) * 100.0, 0});
  }
  lines.push_back({50000, 0, 50100, 0});
  lines.push_back({50100, 0, 50000, 0});
  EXPECT_EQ(pairs(lines), (Pairs{{500, 1000}, {500, 1001}}));
}

TEST(plan_checks_test, lines_and_lengths_are_named_as_a_person_reads_them) {
  EXPECT_EQ(describeLine({0, 7400, 30000.25, -1.5}), "the line from (0, 7400) to (30000.25, -1.5)");
  EXPECT_EQ(readableLength(3), "3 mm");
  EXPECT_EQ(readableLength(30000), "30 m");
  EXPECT_EQ(readableLength(3e7), "30 km");
}

TEST(plan_checks_test, units_that_do_not_fit_a_building_are_named) {
  // A 30 m ridge drawn in metres, read as millimetres.
  const auto metres = unlikelyUnits(30, 1, "mm", false);
  ASSERT_TRUE(metres);
  EXPECT_NE(metres->find("every flashing line is shorter than 100 mm (the longest 30 mm)"),
            std::string::npos)
      << *metres;
  EXPECT_NE(metres->find("--units m"), std::string::npos);
  EXPECT_FALSE(unlikelyUnits(30, 1, "mm", true));  // the plan or the user said so
  EXPECT_FALSE(unlikelyUnits(30000, 1, "mm", false));
  EXPECT_FALSE(unlikelyUnits(0, 1, "mm", false));  // no lines at all
  EXPECT_EQ(tooLongProblem(1, 3e7, "m"),
            "1 flashing line longer than 300 m (the longest 30 km), longer than a building: a "
            "plan drawn in millimetres read in m? give --units mm");
}

TEST(plan_checks_test, only_units_the_header_gives_count_as_given) {
  const TempFolder folder;
  const auto plan = [&](const std::string& name, const std::string& header) {
    std::ofstream(folder / name) << "0\nSECTION\n2\nHEADER\n"
                                 << header
                                 << "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n";
    return folder / name;
  };
  EXPECT_TRUE(planDeclaresUnits(plan("mm.dxf", "9\n$INSUNITS\n70\n4\n")));
  EXPECT_FALSE(planDeclaresUnits(plan("unitless.dxf", "9\n$INSUNITS\n70\n0\n")));
  EXPECT_FALSE(planDeclaresUnits(plan("none.dxf", "9\n$ACADVER\n1\nAC1009\n")));
}

}  // namespace
}  // namespace kvm::workshop
