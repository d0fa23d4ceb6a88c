#include "model/profile_capture.h"

#include <gtest/gtest.h>

#include "tests/base/expect_error.h"

namespace kvm {
namespace {

Variant point(double x, double y) {
  return Variant::doubles({x, y, 0.0});
}

Variant variants(std::vector<Variant> items) {
  return Variant::array(VarType::Variant, std::move(items));
}

std::vector<Variant> linearSlots() {
  return {Variant(int16_t{0}),
          Variant(u"lab"),
          Variant(int16_t{0xA1}),
          Variant(u"30"),
          point(96, -135),
          Variant(int16_t{0}),
          Variant(5.4977871437821380),
          Variant(int16_t{2}),
          Variant(int16_t{3}),
          point(265.4, -34.5),
          point(-10, -241),
          Variant(u"unread"),
          Variant(u"unread")};
}

std::vector<Variant> angularSlots() {
  return {Variant(int16_t{1}), Variant(u""),        Variant(int16_t{0x22}), Variant(u"141°"),
          point(386, 276),     Variant(int16_t{1}), Variant(5.8381),        Variant(int16_t{3}),
          Variant(int16_t{3}), Variant(int16_t{2}), Variant(int16_t{4}),    point(403, 79),
          point(450, 412)};
}

std::vector<Variant> textSlots(const char16_t* text) {
  return {Variant(text), Variant(0.10471975511965977), Variant(0.8), point(-1190, 167)};
}

struct Capture {
  Variant pDing = point(-2400, -317);
  Variant lstLen = Variant::array(VarType::Integer, {int16_t{2200}, int16_t{300}});
  Variant lstAg = Variant::doubles({0.1, 0.7});
  Variant lstdim;
  Variant lstxt;

  [[nodiscard]] Flashing apply(const Flashing& base = {}) const {
    return withCapturedProfile(base, pDing, lstLen, lstAg, lstdim, lstxt);
  }
};

TEST(profile_capture_test, every_slot_lands_in_its_field) {
  std::vector<Variant> dims = linearSlots();
  const std::vector<Variant> angular = angularSlots();
  dims.insert(dims.end(), angular.begin(), angular.end());
  Capture capture;
  capture.lstdim = variants(dims);
  capture.lstxt = variants(textSlots(u"*"));

  Flashing base;
  base.Name = u"屋脊包角";
  base.DevelopedWidth = 500;
  const Flashing f = capture.apply(base);

  EXPECT_EQ(f.Name, u"屋脊包角");
  EXPECT_EQ(f.DevelopedWidth, 500);
  EXPECT_EQ(f.StartX, -2400);
  EXPECT_EQ(f.StartY, -317);
  EXPECT_EQ(f.SegmentLengths, (DynamicArray<int16_t>{2200, 300}));
  EXPECT_EQ(f.SegmentAngles, (DynamicArray<double>{0.1, 0.7}));

  ASSERT_EQ(f.TextMarks.size(), 1U);
  EXPECT_EQ(f.TextMarks[0], (TextMark{u"*", -1190, 167, 0.10471975511965977F, 0.8F}));

  ASSERT_EQ(f.DimensionMarks.size(), 2U);
  DimensionMark linear;
  linear.Kind = 0;
  linear.Label = u"lab";
  linear.Style = 0xA1;
  linear.Text = u"30";
  linear.TextX = 96;
  linear.TextY = -135;
  linear.TextAtPoint = 0;
  linear.TextAngle = 5.4977871437821380F;
  linear.VertexA = 2;
  linear.VertexB = 3;
  linear.P1X = 265;
  linear.P1Y = -34;  // halves go to the even neighbour
  linear.P2X = -10;
  linear.P2Y = -241;
  EXPECT_EQ(f.DimensionMarks[0], linear);

  DimensionMark angle;
  angle.Kind = 1;
  angle.Style = 0x22;
  angle.Text = u"141°";
  angle.TextX = 386;
  angle.TextY = 276;
  angle.TextAtPoint = 1;
  angle.TextAngle = 5.8381F;
  angle.P1X = 3;
  angle.P1Y = 0;
  angle.VertexA = 3;
  angle.VertexB = 2;
  angle.VertexC = 4;
  angle.ArcX = 403;
  angle.ArcY = 79;
  angle.P2X = 450;
  angle.P2Y = 412;
  EXPECT_EQ(f.DimensionMarks[1], angle);
}

TEST(profile_capture_test, an_unknown_kind_takes_only_the_common_slots) {
  std::vector<Variant> dims = linearSlots();
  dims[0] = Variant(int16_t{7});
  dims[7] = Variant(u"not a number");  // never read for such a mark
  Capture capture;
  capture.lstdim = variants(dims);
  const Flashing f = capture.apply();
  ASSERT_EQ(f.DimensionMarks.size(), 1U);
  const DimensionMark& mark = f.DimensionMarks[0];
  EXPECT_EQ(mark.Kind, 7);
  EXPECT_EQ(mark.Text, u"30");
  EXPECT_EQ(mark.TextX, 96);
  EXPECT_EQ(mark.VertexA, 0);
  EXPECT_EQ(mark.P1X, 0);
  EXPECT_EQ(mark.P2Y, 0);
}

TEST(profile_capture_test, counts_whole_marks_only) {
  std::vector<Variant> dims = linearSlots();
  dims.push_back(Variant(int16_t{0}));  // a 14th slot starts no mark
  EXPECT_EQ(markCount(variants(dims), kDimensionMarkSlots), 1);
  EXPECT_EQ(markCount(variants({Variant(u"a"), Variant(0.0), Variant(0.0)}), kTextMarkSlots), 0);
  EXPECT_EQ(markCount(Variant(), kTextMarkSlots), 0);
  EXPECT_EQ(markCount(Variant::unallocatedArray(VarType::Variant), kTextMarkSlots), 0);
  EXPECT_RUNTIME_ERROR(markCount(Variant(u"text"), kTextMarkSlots), err::kTypeMismatch);
}

TEST(profile_capture_test, more_marks_than_eight_bit_counters_hold_are_kept) {
  std::vector<Variant> dims;
  for (int i = 0; i < 20; ++i) {
    const std::vector<Variant> one = linearSlots();
    dims.insert(dims.end(), one.begin(), one.end());
  }
  std::vector<Variant> texts;
  for (int i = 0; i < 64; ++i) {
    const std::vector<Variant> one = textSlots(u"t");
    texts.insert(texts.end(), one.begin(), one.end());
  }
  Capture capture;
  capture.lstdim = variants(dims);
  capture.lstxt = variants(texts);
  const Flashing f = capture.apply();
  EXPECT_EQ(f.DimensionMarks.size(), 20U);
  EXPECT_EQ(f.TextMarks.size(), 64U);
}

TEST(profile_capture_test, no_marks_store_allocated_empty_arrays) {
  Capture capture;  // lstdim and lstxt Empty
  const Flashing f = capture.apply();
  EXPECT_TRUE(f.DimensionMarks.isAllocated());
  EXPECT_TRUE(f.TextMarks.isAllocated());
  EXPECT_TRUE(f.DimensionMarks.empty());
  EXPECT_TRUE(f.TextMarks.empty());

  capture.lstdim = variants({});
  capture.lstxt = variants({Variant(u"*")});
  const Flashing g = capture.apply();
  EXPECT_TRUE(g.DimensionMarks.isAllocated() && g.DimensionMarks.empty());
  EXPECT_TRUE(g.TextMarks.isAllocated() && g.TextMarks.empty());
}

TEST(profile_capture_test, unallocated_profile_arrays_stay_unallocated) {
  Capture capture;
  capture.lstLen = Variant::unallocatedArray(VarType::Integer);
  capture.lstAg = Variant::unallocatedArray(VarType::Double);
  const Flashing f = capture.apply();
  EXPECT_FALSE(f.SegmentLengths.isAllocated());
  EXPECT_FALSE(f.SegmentAngles.isAllocated());
  EXPECT_FALSE(f.hasProfile());
}

TEST(profile_capture_test, a_failed_conversion_raises_and_changes_nothing) {
  Capture capture;
  capture.pDing = point(40000, 0);  // beyond 16 bits
  EXPECT_RUNTIME_ERROR(capture.apply(), err::kOverflow);

  capture.pDing = Variant();
  EXPECT_RUNTIME_ERROR(capture.apply(), err::kTypeMismatch);

  std::vector<Variant> dims = linearSlots();
  dims[4] = Variant(u"no point");
  capture.pDing = point(0, 0);
  capture.lstdim = variants(dims);
  EXPECT_RUNTIME_ERROR(capture.apply(), err::kTypeMismatch);

  capture.lstdim = Variant();
  capture.lstxt = Variant(u"*");  // a text is not an array of slots
  EXPECT_RUNTIME_ERROR(capture.apply(), err::kTypeMismatch);
}

TEST(profile_capture_test, slots_are_read_from_index_zero) {
  // The host's arrays start at 0; an array starting elsewhere misses its first slot.
  ArrayValue shifted;
  shifted.elementType = VarType::Variant;
  shifted.allocated = true;
  shifted.lowerBound = 1;
  shifted.elements = textSlots(u"*");
  Capture capture;
  capture.lstxt = Variant(shifted);
  EXPECT_RUNTIME_ERROR(capture.apply(), err::kSubscriptOutOfRange);
}

}  // namespace
}  // namespace kvm
