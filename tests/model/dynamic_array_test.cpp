#include "model/dynamic_array.h"

#include <gtest/gtest.h>

#include "model/flashing.h"
#include "tests/base/expect_error.h"

namespace kvm {
namespace {

TEST(dynamic_array_test, unallocated_differs_from_allocated_empty) {
  const DynamicArray<int16_t> unallocated;
  const DynamicArray<int16_t> empty = DynamicArray<int16_t>::ofSize(0);
  EXPECT_FALSE(unallocated.isAllocated());
  EXPECT_TRUE(empty.isAllocated());
  EXPECT_EQ(unallocated.size(), 0U);
  EXPECT_EQ(empty.size(), 0U);
  EXPECT_NE(unallocated, empty);
  EXPECT_EQ(empty.upperBound(), -1);
  EXPECT_RUNTIME_ERROR(unallocated.upperBound(), err::kSubscriptOutOfRange);
  EXPECT_EQ(unallocated.begin(), unallocated.end());
}

TEST(dynamic_array_test, access_outside_the_bounds_is_error_9) {
  DynamicArray<int16_t> values{1, 2};
  EXPECT_EQ(values[1], 2);
  EXPECT_RUNTIME_ERROR(values[2], err::kSubscriptOutOfRange);
  DynamicArray<int16_t> none;
  EXPECT_RUNTIME_ERROR(none.at(0), err::kSubscriptOutOfRange);
}

TEST(dynamic_array_test, erasing_the_last_element_leaves_it_unallocated) {
  DynamicArray<int16_t> values{7, 8};
  values.eraseAt(0);
  EXPECT_EQ(values, DynamicArray<int16_t>{8});
  values.eraseAt(0);
  EXPECT_FALSE(values.isAllocated());
  values.push_back(5);
  EXPECT_EQ(values.upperBound(), 0);
}

TEST(dynamic_array_test, copying_a_flashing_copies_its_arrays) {
  Flashing original;
  original.SegmentLengths = DynamicArray<int16_t>{100, 200};
  original.TextMarks.push_back(TextMark{u"*", 1, 2, 0.1F, 0.8F});
  Flashing copy = original;
  copy.SegmentLengths[0] = 999;
  copy.TextMarks[0].Text = u"x";
  EXPECT_EQ(original.SegmentLengths[0], 100);
  EXPECT_EQ(original.TextMarks[0].Text, u"*");
  EXPECT_NE(copy, original);
  EXPECT_TRUE(original.hasProfile());
  EXPECT_FALSE(Flashing{}.hasProfile());
}

}  // namespace
}  // namespace kvm
