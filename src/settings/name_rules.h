#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kvm {

// Why a library or flashing name typed into the add or rename dialog is refused.
enum class NameFault : uint8_t { None, Empty, Blank, TooLong };

// The name as trimmed: not empty; no blank inside, nor a character that the stored texts use
// as a separator (control characters, ":" of the current-use entries, "|" of the capture
// request); at most maxBytes bytes in the GBK code page.
NameFault checkNewName(std::u16string_view name, std::size_t maxBytes);

// Does the text hold a character below code 32 (the bill record's and the stored current-use
// list's separators among them)?
bool hasControlCharacter(std::u16string_view text);

}  // namespace kvm
