#include "cutting/line_segments.h"

#include <gtest/gtest.h>

#include "base/runtime_error.h"

namespace kvm {
namespace {

Variant point(double x, double y) {
  return Variant::doubles({x, y});
}

int32_t errorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(line_segments_test, holds_8192_lines_and_refuses_the_next_without_changing) {
  LineSegments lines;
  for (int i = 0; i < 8192; ++i) {
    lines.add(point(i, 0), point(i, 1));
  }
  EXPECT_EQ(lines.size(), 32768U);
  EXPECT_EQ(errorNumberOf([&] { lines.add(point(1, 1), point(2, 2)); }), err::kOverflow);
  EXPECT_EQ(lines.size(), 32768U);
  const auto all = lines.toVariant();
  const auto& last = all.arrayValue().elements;
  EXPECT_EQ(last.back(), Variant(1.0));
  EXPECT_EQ(last[last.size() - 4], Variant(8191.0));
}

TEST(line_segments_test, a_bad_point_leaves_the_list_as_it_was) {
  LineSegments lines;
  lines.add(point(1, 2), point(3, 4));
  EXPECT_EQ(errorNumberOf([&] { lines.add(Variant(5.0), point(1, 2)); }), err::kTypeMismatch);
  EXPECT_EQ(errorNumberOf([&] { lines.add(point(1, 2), Variant::doubles({3})); }),
            err::kSubscriptOutOfRange);
  EXPECT_EQ(
      errorNumberOf([&] { lines.add(point(1, 2), Variant::unallocatedArray(VarType::Double)); }),
      err::kSubscriptOutOfRange);
  EXPECT_EQ(lines.size(), 4U);
}

TEST(line_segments_test, empty_list_is_an_array_typed_value_holding_no_array) {
  LineSegments lines;
  const auto empty = lines.toVariant();
  ASSERT_TRUE(empty.isArray());
  EXPECT_FALSE(empty.arrayValue().allocated);
  EXPECT_EQ(empty.arrayValue().elementType, VarType::Double);
  lines.add(Variant::doubles({1, 2, 9}), point(3, 4));
  lines.clear();
  EXPECT_FALSE(lines.toVariant().arrayValue().allocated);
}

}  // namespace
}  // namespace kvm
