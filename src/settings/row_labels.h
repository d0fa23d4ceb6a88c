#pragma once

#include <cstdint>
#include <string>

namespace kvm {

// The row labels beside the settings dialog's lists name the visible rows: the library list's
// by letter ("A" for the first library), the other two by number from "01".
std::u16string libraryRowLabel(int32_t row);
std::u16string numberRowLabel(int32_t row);

}  // namespace kvm
