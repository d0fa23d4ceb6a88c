#include "platform/sim/host/geometry.h"

#include <gtest/gtest.h>

#include "host_error.h"

namespace kvm::sim {
namespace {

void expectBox(const Box3& box, double minX, double minY, double maxX, double maxY) {
  EXPECT_DOUBLE_EQ(box.min.x, minX);
  EXPECT_DOUBLE_EQ(box.min.y, minY);
  EXPECT_DOUBLE_EQ(box.max.x, maxX);
  EXPECT_DOUBLE_EQ(box.max.y, maxY);
  EXPECT_EQ(box.min.z, 0);
  EXPECT_EQ(box.max.z, 0);
}

TEST(geometry_test, chinese_characters_advance_a_full_height_latin_ones_half) {
  // "累计面积 12m": 4 characters of two GBK bytes, 4 of one byte = 6 heights.
  expectBox(textBoundingBox(u"累计面积 12m", {100, 200, 5}, 0, 300, 1), 100, 200, 1900, 500);
  expectBox(textBoundingBox(u"ab", {0, 0, 0}, 0, 10, 1), 0, 0, 10, 10);
  expectBox(textBoundingBox(u"", {7, 8, 0}, 0, 10, 1), 7, 8, 7, 18);
}

TEST(geometry_test, the_scale_factor_narrows_the_advance_not_the_height) {
  expectBox(textBoundingBox(u"清单", {0, 0, 0}, 0, 300, 0.7), 0, 0, 420, 300);
}

TEST(geometry_test, the_alignment_places_the_box_on_the_reference_point) {
  const Point3 point{1000, 2000, 0};
  // Two characters, 2 × 300 × 0.7 = 420 wide, 300 high.
  expectBox(textBoundingBox(u"清单", point, 6, 300, 0.7), 1000, 1700, 1420, 2000);   // top left
  expectBox(textBoundingBox(u"清单", point, 8, 300, 0.7), 580, 1700, 1000, 2000);    // top right
  expectBox(textBoundingBox(u"清单", point, 10, 300, 0.7), 790, 1850, 1210, 2150);   // middle
  expectBox(textBoundingBox(u"清单", point, 1, 300, 0.7), 790, 2000, 1210, 2300);    // centre
  expectBox(textBoundingBox(u"清单", point, 2, 300, 0.7), 580, 2000, 1000, 2300);    // right
  expectBox(textBoundingBox(u"清单", point, 12, 300, 0.7), 1000, 2000, 1420, 2300);  // bottom
  expectBox(textBoundingBox(u"L=12", point, 10, 100, 1), 900, 1950, 1100, 2050);
}

TEST(geometry_test, points_are_arrays_of_three_numbers) {
  const Point3 point = pointArgument(Variant::array(VarType::Variant, {1, 2.5, u"3"}));
  EXPECT_EQ(point, (Point3{1, 2.5, 3}));
  EXPECT_EQ(pointValue(point), Variant::doubles({1, 2.5, 3}));
  EXPECT_HOST_ERROR_NUMBER(pointArgument(Variant::doubles({1, 2})), 5);
  EXPECT_HOST_ERROR_NUMBER(pointArgument(Variant(1.0)), 13);
  EXPECT_HOST_ERROR_NUMBER(pointArgument(Variant::array(VarType::Variant, {1, u"x", 3})), 13);
}

}  // namespace
}  // namespace kvm::sim
