#include <gtest/gtest.h>

#include <numbers>
#include <stdexcept>
#include <vector>

#include "platform/workshop/job/length_classes.h"
#include "platform/workshop/job/profile_sketch.h"

namespace kvm::workshop {
namespace {

TEST(length_classes_test, a_line_length_is_the_drawn_length_times_the_factor_to_the_millimetre) {
  EXPECT_EQ(flashingLength(7400, 1.0), 7400);
  EXPECT_EQ(flashingLength(2500.5, 1.0), 2501);  // halves away from zero
  EXPECT_EQ(flashingLength(2499.49, 1.0), 2499);
  EXPECT_EQ(flashingLength(1000, 1.25), 1250);
  EXPECT_EQ(flashingLength(7400, 1.01), 7474);
  EXPECT_THROW(flashingLength(1e300, 1.0), std::out_of_range);
}

TEST(length_classes_test, classes_round_up_to_the_step) {
  EXPECT_EQ(classLength(7400, 300), 7500);
  EXPECT_EQ(classLength(7500, 300), 7500);
  EXPECT_EQ(classLength(7501, 300), 7800);
  EXPECT_EQ(classLength(1, 300), 300);
  EXPECT_EQ(classLength(7401, 0), 7401);  // step 0: every length its own class
  EXPECT_EQ(classLength(0, 300), 0);
}

TEST(length_classes_test, lines_group_into_classes_shortest_first) {
  const std::vector<double> drawn{3000, 2400, 2950, 3000, 2400.4, 5850};
  EXPECT_EQ(groupIntoClasses(drawn, 1.0, 300),
            (std::vector<LengthClass>{{2400, 2}, {3000, 3}, {6000, 1}}));
  EXPECT_EQ(groupIntoClasses(drawn, 1.0, 0),
            (std::vector<LengthClass>{{2400, 2}, {2950, 1}, {3000, 2}, {5850, 1}}));
  EXPECT_TRUE(groupIntoClasses({}, 1.0, 300).empty());
}

TEST(profile_sketch_test, the_outline_walks_the_segments_from_the_start) {
  BillEntry entry;
  entry.startX = -100;
  entry.startY = 50;
  entry.segmentLengths = {200, 100};
  entry.segmentAngles = {0, std::numbers::pi / 2};
  const auto outline = profileOutline(entry);
  ASSERT_EQ(outline.size(), 3U);
  EXPECT_EQ(outline[0], (SketchPoint{-100, 50}));
  EXPECT_DOUBLE_EQ(outline[1].x, 100);
  EXPECT_NEAR(outline[2].x, 100, 1e-9);
  EXPECT_DOUBLE_EQ(outline[2].y, 150);
  EXPECT_TRUE(profileOutline(BillEntry{}).empty());
}

TEST(profile_sketch_test, the_sketch_fits_the_frame_on_its_left_edge_and_middle_line) {
  const std::vector<SketchPoint> outline{{0, 0}, {4000, 0}, {4000, 500}};
  // 4000 across into 1000: a quarter; the height then is 125.
  const auto sketch = fitSketch(outline, {100, -1890, 1000, 1300});
  ASSERT_EQ(sketch.size(), 3U);
  EXPECT_EQ(sketch[0], (SketchPoint{100, -1952.5}));
  EXPECT_EQ(sketch[1], (SketchPoint{1100, -1952.5}));
  EXPECT_EQ(sketch[2], (SketchPoint{1100, -1827.5}));
  // A tall profile is bounded by the height instead.
  const auto tall = fitSketch({{0, 0}, {0, 2600}}, {0, 0, 1000, 1300});
  EXPECT_EQ(tall, (std::vector<SketchPoint>{{0, -650}, {0, 650}}));
  EXPECT_TRUE(fitSketch({{5, 5}, {5, 5}}, {0, 0, 1000, 1300}).empty());
  EXPECT_TRUE(fitSketch({{5, 5}}, {0, 0, 1000, 1300}).empty());
}

}  // namespace
}  // namespace kvm::workshop
