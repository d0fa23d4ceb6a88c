#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/variant.h"

namespace kvm {

// The dispatch interface `_clsKavelmor` as the host sees it: members in interface order,
// with their parameters' names and declared types. The COM type information, the script
// runner's argument conversion and the component's own argument checks all read this one
// table, so the three can never disagree.

struct ParameterInfo {
  std::u16string_view name;
  VarType type;          // Variant: any value; Object: a dispatch object
  bool isArray = false;  // a typed array of `type` (kvmset's lstLen, lstAg)
  bool byReference = false;
};

enum class MemberKind : uint8_t { Method, ReadOnlyProperty };

struct MemberInfo {
  std::u16string_view name;
  MemberKind kind;
  VarType resultType;
  std::span<const ParameterInfo> parameters;
};

std::span<const MemberInfo> clsKavelmorMembers();

// Case-insensitive lookup, as late binding resolves names.
const MemberInfo* findMember(std::u16string_view name);
// Zero-based position in interface order, for stable dispatch identifiers.
std::optional<std::size_t> memberIndex(std::u16string_view name);

}  // namespace kvm
