#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvm {

// The one reading of UTF-8 in the program: what a well-formed character is, and how a text
// that is not one is repaired. Overlong forms, encoded surrogates, values past U+10FFFF and
// sequences cut short are never characters.

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct Utf8Character {
  char32_t code = kReplacementCharacter;  // U+FFFD where the bytes are no character
  std::size_t length = 1;                 // bytes taken, at least 1 (0 only at the end)
  bool valid = false;
};

// The character starting at byte `at`. Where the bytes are no character, `length` spans their
// maximal ill-formed subpart (the longest start of a sequence that could still have been
// completed, at least one byte), so that a repair puts one U+FFFD for it.
Utf8Character decodeUtf8(std::string_view text, std::size_t at);

// The number of leading bytes that are well-formed UTF-8.
std::size_t validUtf8Prefix(std::string_view text);
[[nodiscard]] bool isValidUtf8(std::string_view text);

// The text with each maximal ill-formed subpart replaced by U+FFFD; a well-formed text comes
// back as it is.
std::string repairedUtf8(std::string_view text);

// Appends the character in UTF-8; a surrogate or a value past U+10FFFF appends U+FFFD.
void appendUtf8(std::string& out, char32_t code);

}  // namespace kvm
