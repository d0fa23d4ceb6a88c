#include "host/interface.h"

#include "base/text.h"

namespace kvm {

namespace {

using P = ParameterInfo;
constexpr VarType I2 = VarType::Integer;
constexpr VarType I4 = VarType::Long;
constexpr VarType U1 = VarType::Byte;
constexpr VarType R8 = VarType::Double;
constexpr VarType Str = VarType::String;
constexpr VarType Var = VarType::Variant;
constexpr VarType Obj = VarType::Object;

constexpr std::array kWSJM{P{u"sJM", Str}, P{u"S0", Str}, P{u"h", I2}, P{u"pt", Var},
                           P{u"stid", I2}};
constexpr std::array kMzbj0{P{u"ID", I2}, P{u"Lmax1", I2}, P{u"shen1", I2}, P{u"dajie1", I2}};
constexpr std::array kBjxn{P{u"ID", I2}, P{u"pt1", Var}, P{u"pt2", Var}};
constexpr std::array kMode0LZ{P{u"Arr", Var}, P{u"fuhe", U1}, P{u"ID", I2}};
constexpr std::array kModeLZ{P{u"Arr", Var}, P{u"a", R8}, P{u"mode", U1}, P{u"ID", I2}};
constexpr std::array kQp1{P{u"ID", I2}};
constexpr std::array kKvmset{P{u"AObj", Obj},
                             P{u"s", Str},
                             P{u"pDing", Var, false, true},
                             P{u"lstLen", I2, true, true},
                             P{u"lstAg", R8, true, true},
                             P{u"lstdim", Var, false, true},
                             P{u"lstxt", Var, false, true}};
constexpr std::array kChkLen{P{u"L", I4}, P{u"Zhan", I4}, P{u"sc", Str}};
constexpr std::array kPeiceng{P{u"Arr", Var}, P{u"bj", I2}, P{u"Gong", Var}, P{u"stid", I2}};
constexpr std::array kYfgiu{P{u"L", Str}, P{u"Zhi", Str}, P{u"ID", I2}};
constexpr std::array kY2fgiu{P{u"s", Str}, P{u"L", Str}, P{u"ID", I2}};
constexpr std::array kDycjmw{P{u"AObj", Obj}, P{u"an", I4}, P{u"llw", R8}};
constexpr std::array kMlfs2ed{P{u"s", Str, false, true}};
constexpr std::array kCadTB{P{u"AObj", Obj}};

constexpr MemberKind M = MemberKind::Method;

const std::array kMembers{
    MemberInfo{u"WSJM", M, Var, kWSJM},
    MemberInfo{u"mzbj0", M, Var, kMzbj0},
    MemberInfo{u"bjxn", M, Var, kBjxn},
    MemberInfo{u"Mode0LZ", M, Var, kMode0LZ},
    MemberInfo{u"ModeLZ", M, Var, kModeLZ},
    MemberInfo{u"qp1", M, Var, kQp1},
    MemberInfo{u"kvmset", M, Str, kKvmset},
    MemberInfo{u"chkLen", M, Str, kChkLen},
    MemberInfo{u"peiceng", M, Str, kPeiceng},
    MemberInfo{u"WanShan", M, Str, {}},
    MemberInfo{u"yfgiu", M, Var, kYfgiu},
    MemberInfo{u"y2fgiu", M, I2, kY2fgiu},
    MemberInfo{u"dh2fg", MemberKind::ReadOnlyProperty, Str, {}},
    MemberInfo{u"sanxia", M, I2, {}},
    MemberInfo{u"dycjmw", M, Str, kDycjmw},
    MemberInfo{u"mlfs2ed", M, Var, kMlfs2ed},
    MemberInfo{u"CadTB", M, I2, kCadTB},
};

}  // namespace

std::span<const MemberInfo> clsKavelmorMembers() {
  return kMembers;
}

std::optional<std::size_t> memberIndex(std::u16string_view name) {
  for (std::size_t i = 0; i < kMembers.size(); ++i) {
    if (equalsIgnoringAsciiCase(kMembers[i].name, name)) {
      return i;
    }
  }
  return std::nullopt;
}

const MemberInfo* findMember(std::u16string_view name) {
  const auto index = memberIndex(name);
  return index ? &kMembers[*index] : nullptr;
}

}  // namespace kvm
