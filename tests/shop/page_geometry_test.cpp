#include <gtest/gtest.h>

#include <numbers>

#include "shop/page.h"

namespace kvm::shop {
namespace {

TEST(page_geometry_test, text_boxes_turn_with_their_text) {
  const TextMetrics m{20, 7, 2};
  const Quad flat = textBox(m, {10, 50}, 0);
  EXPECT_DOUBLE_EQ(flat[0].y, 43);
  EXPECT_DOUBLE_EQ(flat[2].x, 30);
  EXPECT_DOUBLE_EQ(flat[2].y, 52);
  // A quarter turn clockwise on the page runs the text downwards.
  const Quad down = textBox(m, {10, 50}, std::numbers::pi / 2);
  EXPECT_NEAR(down[1].x, 10 + 7, 1e-9);
  EXPECT_NEAR(down[1].y, 70, 1e-9);
}

TEST(page_geometry_test, overlaps_of_boxes_and_lines) {
  const TextMetrics m{20, 7, 2};
  const Quad a = textBox(m, {0, 10}, 0);   // x 0..20, y 3..12
  const Quad b = textBox(m, {25, 10}, 0);  // x 25..45
  EXPECT_FALSE(quadsOverlap(a, b));
  EXPECT_FALSE(quadsOverlap(a, b, 4.5));  // 5 apart
  EXPECT_TRUE(quadsOverlap(a, b, 5.5));
  const Quad turned = textBox(m, {22, 0}, std::numbers::pi / 4);
  EXPECT_TRUE(quadsOverlap(b, turned));
  // A diagonal box near a corner it does not reach.
  const Quad corner = textBox({5, 1, 1}, {21, 0}, -std::numbers::pi / 4);
  EXPECT_FALSE(quadsOverlap(a, corner));

  EXPECT_TRUE(segmentTouchesQuad({10, 0}, {10, 100}, a));
  EXPECT_FALSE(segmentTouchesQuad({21, 0}, {21, 100}, a));
  EXPECT_TRUE(segmentTouchesQuad({21, 0}, {21, 100}, a, 1.5));
  // A line passing the box diagonally without touching it.
  EXPECT_FALSE(segmentTouchesQuad({16, 0}, {30, 8}, a));
  EXPECT_TRUE(segmentTouchesQuad({0, 20}, {30, 0}, a));

  EXPECT_TRUE(quadInside(a, {0, 0}, {20, 12}));
  EXPECT_FALSE(quadInside(a, {0, 4}, {20, 12}));
}

}  // namespace
}  // namespace kvm::shop
