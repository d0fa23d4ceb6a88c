// Any bytes through the one UTF-8 reader: the repair always gives well-formed text, a text is
// valid exactly when the repair leaves it alone, and decoding character by character agrees
// with the conversion to UTF-16 and back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "base/utf8.h"

namespace {

void check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);  // NOLINT
  const std::string repaired = kvm::repairedUtf8(text);
  check(kvm::isValidUtf8(repaired));
  check(kvm::isValidUtf8(text) == (repaired == text));
  check(kvm::repairedUtf8(repaired) == repaired);

  std::u16string decoded;
  std::string encoded;
  for (std::size_t at = 0; at < text.size();) {
    const kvm::Utf8Character character = kvm::decodeUtf8(text, at);
    check(character.length >= 1 && at + character.length <= text.size());
    check(character.valid || character.code == kvm::kReplacementCharacter);
    kvm::appendUtf8(encoded, character.code);
    char32_t code = character.code;
    if (code >= 0x10000) {
      code -= 0x10000;
      decoded += static_cast<char16_t>(0xD800 + (code >> 10U));
      decoded += static_cast<char16_t>(0xDC00 + (code & 0x3FFU));
    } else {
      decoded += static_cast<char16_t>(code);
    }
    at += character.length;
  }
  check(encoded == repaired);
  check(decoded == kvm::fromUtf8(text));
  check(kvm::toUtf8(decoded) == repaired);
  return 0;
}
