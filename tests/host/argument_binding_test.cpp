#include "host/argument_binding.h"

#include <gtest/gtest.h>

#include "base/runtime_error.h"

namespace kvm {
namespace {

int32_t errorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

const MemberInfo& member(std::u16string_view name) {
  return *findMember(name);
}

TEST(argument_binding_test, scalars_take_their_declared_types) {
  const auto bound =
      bindArguments(member(u"ModeLZ"),
                    {Variant::doubles({1}), Variant(int32_t{9000}), Variant(u"2"), Variant(2.5)});
  EXPECT_EQ(bound[1], Variant(9000.0));
  EXPECT_EQ(bound[2], Variant(uint8_t{2}));
  EXPECT_EQ(bound[3], Variant(int16_t{2}));  // halves to even
}

TEST(argument_binding_test, values_that_do_not_fit_fail_before_the_member_runs) {
  const auto& mzbj0 = member(u"mzbj0");
  const Variant four(int32_t{4});
  EXPECT_EQ(errorNumberOf([&] {
              bindArguments(mzbj0, {four, four, four});
            }),
            err::kArgumentNotOptional);
  EXPECT_EQ(errorNumberOf([&] {
              bindArguments(mzbj0, {four, four, four, four, four});
            }),
            err::kWrongArgumentCount);
  EXPECT_EQ(errorNumberOf([&] {
              bindArguments(mzbj0, {four, Variant(int32_t{32768}), four, four});
            }),
            err::kOverflow);
  EXPECT_EQ(errorNumberOf([&] {
              bindArguments(mzbj0, {four, Variant(u"x"), four, four});
            }),
            err::kTypeMismatch);
  EXPECT_EQ(errorNumberOf([&] {
              bindArguments(member(u"dycjmw"), {Variant(u"app"), four, four});
            }),
            err::kTypeMismatch);
}

TEST(argument_binding_test, typed_array_parameters_convert_each_element_and_keep_bounds) {
  ArrayValue source{
      VarType::Variant, true, 0, {Variant(int32_t{100}), Variant(u"-1890"), Variant(0.5)}, {}};
  const auto typed = toTypedArray(source, VarType::Integer);
  EXPECT_EQ(typed.arrayValue().elementType, VarType::Integer);
  EXPECT_EQ(typed.arrayValue().elements,
            (std::vector<Variant>{int16_t{100}, int16_t{-1890}, int16_t{0}}));

  const auto unallocated =
      toTypedArray(Variant::unallocatedArray(VarType::Variant), VarType::Double);
  EXPECT_FALSE(unallocated.arrayValue().allocated);
  EXPECT_EQ(unallocated.arrayValue().elementType, VarType::Double);

  source.elements.emplace_back(u"x");
  EXPECT_EQ(errorNumberOf([&] { (void)toTypedArray(source, VarType::Integer); }),
            err::kTypeMismatch);
  EXPECT_EQ(errorNumberOf([&] { (void)toTypedArray(Variant(1.0), VarType::Integer); }),
            err::kTypeMismatch);
}

TEST(argument_binding_test, member_names_resolve_case_insensitively_in_interface_order) {
  EXPECT_EQ(memberIndex(u"wsjm"), 0U);
  EXPECT_EQ(memberIndex(u"CADTB"), 16U);
  EXPECT_FALSE(memberIndex(u"WSJM2"));
  EXPECT_EQ(clsKavelmorMembers().size(), 17U);
  EXPECT_EQ(member(u"dh2fg").kind, MemberKind::ReadOnlyProperty);
}

}  // namespace
}  // namespace kvm
