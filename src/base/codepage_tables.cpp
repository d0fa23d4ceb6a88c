#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "base/codepage.h"
#include "base/codepage_backend.h"

namespace kvm {

namespace {

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFE;
constexpr unsigned kTrailCount = kLastTrail - kFirstTrail + 1;
constexpr char16_t kReplacement = u'\uFFFD';

// Both directions of code page 936 as plain lookups, asked of the system once per code.
struct GbkTables {
  // Bytes 0x80..0xFF on their own (only the euro sign at 0x80 has a meaning).
  std::array<char16_t, 0x80> single{};
  // Lead byte 0x81..0xFE by trail byte 0x40..0xFE; 0 where the pair means nothing.
  std::array<char16_t, static_cast<std::size_t>(kLastLead - kFirstLead + 1) * kTrailCount> pairs{};
  // Every UTF-16 unit: its code (one byte below 0x100, else lead * 256 + trail), 0 for none.
  std::array<uint16_t, 0x10000> codes{};
};

std::unique_ptr<const GbkTables> buildTables() {
  auto tables = std::make_unique<GbkTables>();
  detail::GbkDecoder decoder;
  const auto learn = [&](char16_t unit, unsigned code) {
    // The lowest code wins should two codes give one character.
    if (unit >= 0x80 && unit != kReplacement && tables->codes[unit] == 0) {
      tables->codes[unit] = static_cast<uint16_t>(code);
    }
  };
  for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
    const char code = static_cast<char>(byte);
    const char16_t unit = decoder.decode(std::string_view(&code, 1));
    tables->single[byte - 0x80] = unit;
    learn(unit, byte);
  }
  for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail) {
      const std::array<char, 2> code{static_cast<char>(lead), static_cast<char>(trail)};
      const char16_t unit = decoder.decode(std::string_view(code.data(), code.size()));
      tables->pairs[(lead - kFirstLead) * kTrailCount + (trail - kFirstTrail)] = unit;
      learn(unit, lead * 0x100 + trail);
    }
  }
  for (unsigned ascii = 0; ascii < 0x80; ++ascii) {
    tables->codes[ascii] = static_cast<uint16_t>(ascii);
  }
  return tables;
}

const GbkTables& tables() {
  static const std::unique_ptr<const GbkTables> built = buildTables();
  return *built;
}

bool isSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}
bool isHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr uint16_t kQuestionMark = u'?';

// The code of text[i] ("?" when it has no GBK form) and how many units it took.
struct Encoded {
  uint16_t code;
  size_t units;
};

Encoded encodeAt(const GbkTables& table, std::u16string_view text, size_t i) {
  const char16_t unit = text[i];
  if (unit < 0x80) {
    return {unit, 1};
  }
  if (isSurrogate(unit)) {
    // A character outside the basic plane is one character: one "?".
    const bool pair = isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1]);
    return {kQuestionMark, pair ? size_t{2} : size_t{1}};
  }
  const uint16_t code = table.codes[unit];
  return {code != 0 ? code : kQuestionMark, 1};
}

template <class Sink>
void encode(std::u16string_view text, Sink&& sink) {
  const GbkTables& table = tables();
  for (size_t i = 0; i < text.size();) {
    const Encoded encoded = encodeAt(table, text, i);
    sink(encoded.code);
    i += encoded.units;
  }
}

}  // namespace

std::string toGbk(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  encode(text, [&](uint16_t code) {
    if (code >= 0x100) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back(static_cast<char>(code));
    }
  });
  return out;
}

std::u16string fromGbk(std::string_view bytes) {
  const GbkTables& table = tables();
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      out.push_back(byte);
      ++i;
      continue;
    }
    if (byte >= kFirstLead && byte <= kLastLead && i + 1 < bytes.size()) {
      const auto trail = static_cast<unsigned char>(bytes[i + 1]);
      if (trail >= kFirstTrail && trail <= kLastTrail) {
        const char16_t unit =
            table.pairs[(byte - kFirstLead) * kTrailCount + (trail - kFirstTrail)];
        if (unit != 0) {
          out.push_back(unit);
          i += 2;
          continue;
        }
      }
    }
    const char16_t single = table.single[byte - 0x80];
    out.push_back(single != 0 ? single : kReplacement);
    ++i;
  }
  return out;
}

std::size_t gbkByteLength(std::u16string_view text) {
  std::size_t length = 0;
  encode(text, [&](uint16_t code) { length += code >= 0x100 ? 2 : 1; });
  return length;
}

}  // namespace kvm
