#pragma once

#include <string_view>

namespace kvm::workshop {

// The companion's own texts in a bill block.
inline constexpr std::u16string_view kPieceLengthHeading = u"下料";
inline constexpr std::u16string_view kPieceCountHeading = u"数量";
inline constexpr std::u16string_view kColourCaption = u"色彩 ";
inline constexpr std::u16string_view kWidthCaption = u"  展开宽度 ";
inline constexpr std::u16string_view kModeCaption = u"计算方式 ";

// The calculation modes by their number, as the bill completion dialog names them.
inline constexpr std::u16string_view kModeNames[] = {u"按规格最少", u"按搭接最少", u"按经济合理"};

}  // namespace kvm::workshop
