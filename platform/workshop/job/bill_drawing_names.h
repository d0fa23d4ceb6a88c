#pragma once

#include <string_view>

namespace kvm::workshop {

// The layers and the text style the job makes in the drawing before it draws a bill.
inline constexpr std::u16string_view kBillLayer = u"BJ-清单";
inline constexpr std::u16string_view kSketchLayer = u"BJ-包角";
inline constexpr std::u16string_view kFlashingLineLayer = u"BJ-包角线";
inline constexpr std::u16string_view kBillTextStyle = u"HZTXT";

}  // namespace kvm::workshop
