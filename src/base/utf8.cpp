#include "base/utf8.h"

namespace kvm {

namespace {

// The bytes a lead byte needs after it and the range its first continuation byte must lie
// in: the narrower ranges are what exclude overlong forms (E0, F0), surrogates (ED) and values
// past U+10FFFF (F4).
struct LeadRule {
  std::size_t continuations = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  char32_t bits = 0;
};

LeadRule ruleOf(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF, lead & 0x1FU};
  if (lead == 0xE0) return {2, 0xA0, 0xBF, lead & 0x0FU};
  if (lead == 0xED) return {2, 0x80, 0x9F, lead & 0x0FU};
  if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF, lead & 0x0FU};
  if (lead == 0xF0) return {3, 0x90, 0xBF, lead & 0x07U};
  if (lead == 0xF4) return {3, 0x80, 0x8F, lead & 0x07U};
  if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF, lead & 0x07U};
  return {};  // 80-C1, F5-FF: never a lead byte
}

}  // namespace

Utf8Character decodeUtf8(std::string_view text, std::size_t at) {
  if (at >= text.size()) return {kReplacementCharacter, 0, false};
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return {lead, 1, true};
  const LeadRule rule = ruleOf(lead);
  if (rule.continuations == 0) return {};
  char32_t code = rule.bits;
  for (std::size_t k = 1; k <= rule.continuations; ++k) {
    const unsigned char low = k == 1 ? rule.low : 0x80;
    const unsigned char high = k == 1 ? rule.high : 0xBF;
    if (at + k >= text.size() || byte(at + k) < low || byte(at + k) > high) {
      return {kReplacementCharacter, k, false};
    }
    code = (code << 6U) | (byte(at + k) & 0x3FU);
  }
  return {code, rule.continuations + 1, true};
}

std::size_t validUtf8Prefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // ASCII runs are the common case: no decoding for them.
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Character character = decodeUtf8(text, i);
    if (!character.valid) break;
    i += character.length;
  }
  return i;
}

bool isValidUtf8(std::string_view text) {
  return validUtf8Prefix(text) == text.size();
}

std::string repairedUtf8(std::string_view text) {
  std::size_t i = validUtf8Prefix(text);
  std::string out(text.substr(0, i));
  if (i == text.size()) return out;
  out.reserve(text.size() + 8);
  while (i < text.size()) {
    const Utf8Character character = decodeUtf8(text, i);
    if (character.valid) {
      out.append(text, i, character.length);
    } else {
      appendUtf8(out, kReplacementCharacter);
    }
    i += character.length;
  }
  return out;
}

void appendUtf8(std::string& out, char32_t code) {
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacementCharacter;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace kvm
