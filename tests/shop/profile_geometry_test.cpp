#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "shop/profile_geometry.h"
#include "storage/builtin_database.h"

namespace kvm::shop {
namespace {

double radians(double degrees) {
  return degrees * std::numbers::pi / 180;
}

Flashing profileOf(std::vector<int16_t> lengths, const std::vector<double>& degrees,
                   uint8_t scale = 1) {
  Flashing f;
  f.ScaleCode = scale;
  f.SegmentLengths = DynamicArray<int16_t>(std::move(lengths));
  std::vector<double> angles;
  angles.reserve(degrees.size());
  for (const double d : degrees) angles.push_back(radians(d));
  f.SegmentAngles = DynamicArray<double>(std::move(angles));
  return f;
}

const Flashing& builtin(std::size_t library, std::size_t flashing) {
  static const LibraryTable table = builtinLibraryTable();
  return table[library].Flashings[flashing];
}

TEST(profile_geometry_test, ridge_flashing_in_millimetres_with_its_bends_and_star) {
  const Flashing& ridge = builtin(0, 0);  // 屋脊包角, 1:10
  ASSERT_EQ(ridge.Name, u"屋脊包角");
  const ProfileGeometry g = profileGeometry(ridge);
  ASSERT_EQ(g.lengths.size(), 4U);
  EXPECT_DOUBLE_EQ(g.lengths[0], 220);
  EXPECT_DOUBLE_EQ(g.lengths[1], 30);
  EXPECT_DOUBLE_EQ(g.girth, 500);  // its developed width
  ASSERT_EQ(g.bends.size(), 3U);
  EXPECT_NEAR(g.bends[0].degrees, 141, 1e-9);  // 6° then 45°
  EXPECT_NEAR(g.bends[1].degrees, 90, 1e-9);   // 45° then 315°
  EXPECT_NEAR(g.bends[2].degrees, 141, 1e-9);
  ASSERT_TRUE(g.star.has_value());
  EXPECT_DOUBLE_EQ(g.star->x, -119);
  EXPECT_DOUBLE_EQ(g.vertices.front().x, -240);
  EXPECT_NEAR(g.vertices.back().x,
              -240 + 2 * 220 * std::cos(radians(6)) + 2 * 30 * std::cos(radians(45)), 1e-9);
}

TEST(profile_geometry_test, scale_codes_read_as_the_dimension_texts_do) {
  EXPECT_DOUBLE_EQ(unitsPerMillimetre(1), 10);
  EXPECT_DOUBLE_EQ(unitsPerMillimetre(2), 20);
  EXPECT_DOUBLE_EQ(unitsPerMillimetre(5), 5);  // shown as 1:5
  EXPECT_DOUBLE_EQ(unitsPerMillimetre(0), 10);
  // 山墙下包角 at 1:20: 1260, 4600, 800 units are 63 + 230 + 40 = 333 mm, its developed width.
  const Flashing& gable = builtin(0, 4);
  ASSERT_EQ(gable.Name, u"山墙下包角");
  EXPECT_DOUBLE_EQ(profileGeometry(gable).girth, 333);
}

TEST(profile_geometry_test, every_builtin_profile_adds_up_to_its_developed_width) {
  for (const FlashingLibrary& library : builtinLibraryTable()) {
    for (const Flashing& f : library.Flashings) {
      const double girth = profileGeometry(f).girth;
      // Developed widths carry some allowance; the one flashing labelled in tenths whatever its
      // scale is drawn at half its width.
      const double expected =
          f.Name == u"山墙内墙板下包角" ? f.DevelopedWidth / 2.0 : f.DevelopedWidth;
      EXPECT_NEAR(girth, expected, expected * 0.06) << std::string(f.Name.begin(), f.Name.end());
      EXPECT_EQ(bendCount(f), static_cast<int>(f.SegmentLengths.size()) - 1);
    }
  }
}

TEST(profile_geometry_test, bends_are_changes_of_direction) {
  // Straight on, a crooked capture and a segment of no length are no bends; a hem is one.
  EXPECT_EQ(bendCount(profileOf({100, 100}, {0, 0})), 0);
  EXPECT_EQ(bendCount(profileOf({100, 100}, {0, 0.3})), 0);
  EXPECT_EQ(bendCount(profileOf({100, 100}, {0, 0.6})), 1);
  EXPECT_EQ(bendCount(profileOf({100, 0, 100}, {0, 90, 0})), 0);
  EXPECT_EQ(bendCount(profileOf({100, 0, 100}, {0, 90, 90})), 1);
  const Flashing hem = profileOf({100, 20}, {0, 180});
  ASSERT_EQ(bendCount(hem), 1);
  EXPECT_NEAR(profileGeometry(hem).bends[0].degrees, 0, 1e-9);
  // Directions a turn apart are the same direction.
  EXPECT_EQ(bendCount(profileOf({100, 100}, {350, -10})), 0);
}

TEST(profile_geometry_test, a_damaged_profile_still_gives_a_drawing) {
  Flashing none;
  EXPECT_EQ(bendCount(none), 0);
  EXPECT_EQ(profileGeometry(none).vertices.size(), 1U);
  // More lengths than directions: only the segments with both.
  Flashing uneven = profileOf({100, 100, 100}, {0, 90});
  EXPECT_EQ(profileGeometry(uneven).lengths.size(), 2U);
  Flashing notANumber = profileOf({100, 100}, {0, std::nan("")});
  EXPECT_EQ(bendCount(notANumber), 0);
  EXPECT_TRUE(std::isfinite(profileGeometry(notANumber).vertices.back().x));
}

}  // namespace
}  // namespace kvm::shop
