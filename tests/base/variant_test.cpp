#include "base/variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "expect_error.h"

namespace kvm {
namespace {

const std::vector<VarType> kAllTypes{
    VarType::Empty,  VarType::Integer, VarType::Long,   VarType::Byte,   VarType::Single,
    VarType::Double, VarType::Boolean, VarType::String, VarType::Object, VarType::Variant};

TEST(variant_test, type_tags_are_the_automation_names) {
  EXPECT_STREQ(varTypeTag(VarType::Integer), "I2");
  EXPECT_STREQ(varTypeTag(VarType::Long), "I4");
  EXPECT_STREQ(varTypeTag(VarType::Byte), "UI1");
  EXPECT_STREQ(varTypeTag(VarType::Single), "R4");
  EXPECT_STREQ(varTypeTag(VarType::Double), "R8");
  EXPECT_STREQ(varTypeTag(VarType::Boolean), "BOOL");
  EXPECT_STREQ(varTypeTag(VarType::String), "BSTR");
  EXPECT_STREQ(varTypeTag(VarType::Variant), "VARIANT");
  EXPECT_STREQ(varTypeTag(VarType::Object), "DISPATCH");
  EXPECT_STREQ(varTypeTag(VarType::Empty), "EMPTY");
  for (const VarType type : kAllTypes) {
    EXPECT_EQ(varTypeFromTag(varTypeTag(type)), type);
  }
  EXPECT_EQ(varTypeFromTag("r8"), VarType::Double);
  EXPECT_EQ(varTypeFromTag("R16"), std::nullopt);
  EXPECT_EQ(varTypeFromTag(""), std::nullopt);
}

TEST(variant_test, type_follows_the_stored_value) {
  EXPECT_EQ(Variant().type(), VarType::Empty);
  EXPECT_EQ(Variant(int16_t{1}).type(), VarType::Integer);
  EXPECT_EQ(Variant(int32_t{1}).type(), VarType::Long);
  EXPECT_EQ(Variant(uint8_t{1}).type(), VarType::Byte);
  EXPECT_EQ(Variant(1.0F).type(), VarType::Single);
  EXPECT_EQ(Variant(1.0).type(), VarType::Double);
  EXPECT_EQ(Variant(true).type(), VarType::Boolean);
  EXPECT_EQ(Variant(u"x").type(), VarType::String);
  EXPECT_EQ(Variant(DispatchPtr()).type(), VarType::Object);
  EXPECT_EQ(Variant::doubles({1.0}).type(), VarType::Variant);

  EXPECT_TRUE(Variant(true).isNumeric());
  EXPECT_TRUE(Variant(uint8_t{0}).isNumeric());
  EXPECT_FALSE(Variant(u"1").isNumeric());
  EXPECT_FALSE(Variant().isNumeric());
  EXPECT_FALSE(Variant::doubles({}).isNumeric());
}

TEST(variant_test, arrays_start_at_zero_and_hold_their_element_type) {
  const Variant numbers = Variant::array(VarType::Double, {int16_t{1}, u"2.5", true});
  const ArrayValue& array = numbers.arrayValue();
  EXPECT_TRUE(array.allocated);
  EXPECT_EQ(array.lowerBound, 0);
  EXPECT_EQ(array.upperBound(), 2);
  EXPECT_EQ(array.elements[1], Variant(2.5));
  EXPECT_EQ(array.elements[2], Variant(-1.0));
  EXPECT_EQ(numbers, Variant::doubles({1, 2.5, -1}));

  const Variant mixed = Variant::array(VarType::Variant, {int16_t{1}, u"a"});
  EXPECT_EQ(mixed.arrayValue().elements[0].type(), VarType::Integer);
  EXPECT_EQ(mixed.arrayValue().elements[1].type(), VarType::String);

  EXPECT_RUNTIME_ERROR(Variant::array(VarType::Integer, {u"x"}), err::kTypeMismatch);
  EXPECT_EQ(Variant::doubles({}).arrayValue().upperBound(), -1);
}

TEST(variant_test, an_unallocated_array_differs_from_an_empty_one) {
  const Variant none = Variant::unallocatedArray(VarType::String);
  EXPECT_TRUE(none.isArray());
  EXPECT_FALSE(none.arrayValue().allocated);
  EXPECT_EQ(none, Variant::unallocatedArray(VarType::String));
  EXPECT_FALSE(none == Variant::array(VarType::String, {}));
  EXPECT_FALSE(none == Variant::unallocatedArray(VarType::Double));
  EXPECT_RUNTIME_ERROR(element(none, 0), err::kSubscriptOutOfRange);
}

TEST(variant_test, array_equality_compares_type_bounds_and_elements) {
  ArrayValue a;
  a.allocated = true;
  a.elements = {Variant(1.0), Variant(u"x")};
  ArrayValue b = a;
  EXPECT_TRUE(a == b);
  b.lowerBound = 1;
  EXPECT_FALSE(a == b);
  b = a;
  b.elementType = VarType::Double;
  EXPECT_FALSE(a == b);
  b = a;
  b.elements[0] = Variant(int32_t{1});  // same number, other type
  EXPECT_FALSE(a == b);
}

TEST(variant_test, element_counts_from_the_lower_bound) {
  ArrayValue value;
  value.allocated = true;
  value.lowerBound = 1;
  value.elements = {Variant(10.0), Variant(20.0)};
  const Variant array(value);
  EXPECT_EQ(element(array, 1), Variant(10.0));
  EXPECT_EQ(element(array, 2), Variant(20.0));
  EXPECT_RUNTIME_ERROR(element(array, 0), err::kSubscriptOutOfRange);
  EXPECT_RUNTIME_ERROR(element(array, 3), err::kSubscriptOutOfRange);
  EXPECT_RUNTIME_ERROR(element(array, std::numeric_limits<int32_t>::min()),
                       err::kSubscriptOutOfRange);
  EXPECT_RUNTIME_ERROR(element(Variant(1.0), 0), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(element(Variant(), 0), err::kTypeMismatch);
}

TEST(variant_test, to_double_reads_numbers_booleans_and_numeric_strings) {
  EXPECT_EQ(toDouble(Variant()), 0);
  EXPECT_EQ(toDouble(true), -1);
  EXPECT_EQ(toDouble(false), 0);
  EXPECT_EQ(toDouble(uint8_t{200}), 200);
  EXPECT_EQ(toDouble(0.8F), static_cast<double>(0.8F));
  EXPECT_EQ(toDouble(u" 3500.4 "), 3500.4);
  EXPECT_EQ(toDouble(u"&HFFFF"), -1);
  EXPECT_RUNTIME_ERROR(toDouble(u""), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toDouble(u"12abc"), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toDouble(u"1e400"), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toDouble(DispatchPtr()), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toDouble(Variant::doubles({1})), err::kTypeMismatch);
}

TEST(variant_test, integer_conversions_round_halves_to_even_and_check_range) {
  EXPECT_EQ(toLong(u"2.5"), 2);
  EXPECT_EQ(toLong(u"3.5"), 4);
  EXPECT_EQ(toLong(2500.5), 2500);
  EXPECT_EQ(toLong(true), -1);
  EXPECT_EQ(toLong(int16_t{-7}), -7);
  EXPECT_EQ(toInteger(Variant()), 0);
  EXPECT_EQ(toInteger(32767.4F), 32767);
  EXPECT_EQ(toInteger(u"-32768"), -32768);
  EXPECT_RUNTIME_ERROR(toInteger(u"40000"), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toInteger(int32_t{32768}), err::kOverflow);
  EXPECT_EQ(toByte(int32_t{255}), 255);
  EXPECT_RUNTIME_ERROR(toByte(int16_t{-1}), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toByte(true), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toLong(u"x"), err::kTypeMismatch);
}

TEST(variant_test, to_single_overflows_beyond_the_float_range) {
  EXPECT_EQ(toSingle(0.8), 0.8F);
  EXPECT_EQ(toSingle(u"1.1"), 1.1F);
  EXPECT_EQ(toSingle(3.4e38), 3.4e38F);
  EXPECT_RUNTIME_ERROR(toSingle(1e39), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toSingle(-1e39), err::kOverflow);
  EXPECT_RUNTIME_ERROR(toSingle(u"abc"), err::kTypeMismatch);
}

TEST(variant_test, to_boolean_accepts_numbers_and_the_boolean_words) {
  EXPECT_TRUE(toBoolean(0.1));
  EXPECT_FALSE(toBoolean(0.0));
  EXPECT_FALSE(toBoolean(Variant()));
  EXPECT_TRUE(toBoolean(int16_t{-1}));
  EXPECT_TRUE(toBoolean(u"True"));
  EXPECT_TRUE(toBoolean(u"true"));
  EXPECT_FALSE(toBoolean(u"FALSE"));
  EXPECT_FALSE(toBoolean(u"0"));
  EXPECT_TRUE(toBoolean(u"2"));
  EXPECT_RUNTIME_ERROR(toBoolean(u"yes"), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toBoolean(u""), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toBoolean(Variant::doubles({})), err::kTypeMismatch);
}

TEST(variant_test, to_string_uses_the_general_number_text) {
  EXPECT_EQ(toString(int16_t{-32768}), u"-32768");
  EXPECT_EQ(toString(int32_t{2650}), u"2650");
  EXPECT_EQ(toString(uint8_t{255}), u"255");
  EXPECT_EQ(toString(2.5), u"2.5");
  EXPECT_EQ(toString(0.8F), u"0.8");
  EXPECT_EQ(toString(1e15), u"1E+15");
  EXPECT_EQ(toString(true), u"True");
  EXPECT_EQ(toString(false), u"False");
  EXPECT_EQ(toString(Variant()), u"");
  EXPECT_EQ(toString(u"天蓝色"), u"天蓝色");
  EXPECT_RUNTIME_ERROR(toString(DispatchPtr()), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toString(Variant::doubles({1})), err::kTypeMismatch);
}

TEST(variant_test, to_object_wants_an_object) {
  EXPECT_EQ(toObject(DispatchPtr()), nullptr);
  EXPECT_RUNTIME_ERROR(toObject(Variant()), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(toObject(u"x"), err::kTypeMismatch);
}

TEST(variant_test, convert_to_gives_exactly_the_target_type) {
  const Variant text(u"12");
  EXPECT_EQ(convertTo(text, VarType::Integer), Variant(int16_t{12}));
  EXPECT_EQ(convertTo(text, VarType::Long), Variant(int32_t{12}));
  EXPECT_EQ(convertTo(text, VarType::Byte), Variant(uint8_t{12}));
  EXPECT_EQ(convertTo(text, VarType::Single), Variant(12.0F));
  EXPECT_EQ(convertTo(text, VarType::Double), Variant(12.0));
  EXPECT_EQ(convertTo(text, VarType::Boolean), Variant(true));
  EXPECT_EQ(convertTo(text, VarType::String), text);
  EXPECT_EQ(convertTo(text, VarType::Variant), text);
  EXPECT_EQ(convertTo(int16_t{5}, VarType::String), Variant(u"5"));
  EXPECT_EQ(convertTo(DispatchPtr(), VarType::Object), Variant(DispatchPtr()));
  EXPECT_EQ(convertTo(Variant(), VarType::Variant), Variant());
  EXPECT_RUNTIME_ERROR(convertTo(text, VarType::Object), err::kTypeMismatch);
  EXPECT_RUNTIME_ERROR(convertTo(2.5e10, VarType::Long), err::kOverflow);
}

TEST(variant_test, arrays_convert_only_to_variant) {
  const Variant array = Variant::doubles({1, 2});
  EXPECT_EQ(convertTo(array, VarType::Variant), array);
  for (const VarType type : kAllTypes) {
    if (type != VarType::Variant) {
      EXPECT_RUNTIME_ERROR(convertTo(array, type), err::kTypeMismatch);
    }
  }
}

TEST(variant_test, null_converts_to_nothing_but_a_variant_or_null) {
  const Variant null(NullValue{});
  EXPECT_TRUE(null.isNull());
  EXPECT_EQ(null.type(), VarType::Null);
  EXPECT_NE(null, Variant());
  // Inside a method, as an assignment: Invalid use of Null.
  EXPECT_RUNTIME_ERROR(toDouble(null), err::kInvalidUseOfNull);
  EXPECT_RUNTIME_ERROR(toInteger(null), err::kInvalidUseOfNull);
  EXPECT_RUNTIME_ERROR(toString(null), err::kInvalidUseOfNull);
  EXPECT_RUNTIME_ERROR(toObject(null), err::kTypeMismatch);
  // At the call's boundary every typed parameter refuses it as a type mismatch.
  for (const VarType type : kAllTypes) {
    if (type == VarType::Variant) {
      EXPECT_EQ(convertArgument(null, type), null);
    } else {
      EXPECT_RUNTIME_ERROR(convertArgument(null, type), err::kTypeMismatch);
    }
  }
  EXPECT_EQ(convertArgument(Variant(u"7"), VarType::Integer), Variant(int16_t{7}));
}

TEST(variant_test, arrays_of_several_dimensions_are_read_by_no_single_index) {
  ArrayValue value;
  value.allocated = true;
  value.dimensions = {{0, 2}, {1, 3}};
  for (int i = 0; i < 6; ++i) {
    value.elements.emplace_back(static_cast<double>(i));
  }
  const Variant grid(value);
  EXPECT_EQ(grid.arrayValue().dimensionCount(), 2U);
  EXPECT_EQ(grid.arrayValue().upperBound(), 1);
  EXPECT_RUNTIME_ERROR(element(grid, 0), err::kSubscriptOutOfRange);
  // The shape is part of the value: the same elements in one dimension are another array.
  ArrayValue flat = value;
  flat.dimensions.clear();
  EXPECT_NE(Variant(flat), grid);
}

}  // namespace
}  // namespace kvm
