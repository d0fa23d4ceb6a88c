#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvm {

// Strings live in memory as UTF-16, as on the host platform; "characters" are UTF-16 units.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// Trimming removes spaces only, never tabs or line breaks.
std::u16string trimSpaces(std::u16string_view text);
std::u16string trimLeftSpaces(std::u16string_view text);
std::u16string trimRightSpaces(std::u16string_view text);

// Member and key names compare case-insensitively in ASCII only.
bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
std::u16string asciiUpper(std::u16string_view text);
std::u16string asciiLower(std::u16string_view text);

// The decimal text of an integer without leading zeros.
std::u16string decimal(long long value);

// Splits at every occurrence of the separator; like the platform's split, an empty text
// gives no parts at all.
std::vector<std::u16string> split(std::u16string_view text, std::u16string_view separator);

}  // namespace kvm
