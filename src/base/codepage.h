#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvm {

// The system's ANSI code page is 936 (GBK) on every user's machine: files and the registry
// hold GBK bytes, name lengths are counted in GBK bytes.

// Characters without a GBK form become "?", as the platform's conversion does.
std::string toGbk(std::u16string_view text);
// Bytes that are not valid GBK become U+FFFD one byte at a time, never failing.
std::u16string fromGbk(std::string_view bytes);
std::size_t gbkByteLength(std::u16string_view text);

// The one list collation of the core: by GBK bytes, ASCII letters case-insensitive.
// Gives pinyin order for the common characters of GB2312. Returns <0, 0, >0.
int collateCompare(std::u16string_view a, std::u16string_view b);

}  // namespace kvm
