#include "platform/dxf/name_decoder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "base/utf8.h"

namespace kvm::dxf {

namespace {

// \U+XXXX escapes (four hex digits) as the characters they stand for; a surrogate stays
// escaped, having no UTF-8 form of its own.
std::string withEscapesResolved(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, 3) == "\\U+" && i + 7 <= text.size()) {
      std::uint32_t point = 0;
      const char* digits = text.data() + i + 3;
      const auto [end, error] = std::from_chars(digits, digits + 4, point, 16);
      if (error == std::errc{} && end == digits + 4 && (point < 0xD800 || point > 0xDFFF)) {
        appendUtf8(out, static_cast<char32_t>(point));
        i += 7;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

}  // namespace

std::string foldedName(std::string_view name) {
  std::string out(name);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return out;
}

namespace {
constexpr unsigned kWesternEurope = 1252;
}  // namespace

NameDecoder::NameDecoder() {
  useCodePage("ANSI_1252");
}

bool NameDecoder::useCodePage(std::string_view dwgCodePage) {
  std::string name(dwgCodePage);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
  unsigned codePage = kWesternEurope;
  bool known =
      name.starts_with("ANSI_") && name.size() > 5 && name.size() < 11 &&
      std::all_of(name.begin() + 5, name.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (known) {
    known = std::from_chars(name.data() + 5, name.data() + name.size(), codePage).ec == std::errc{};
  }
  converter_ = CodePageConverter::open(codePage);
  if (!converter_) {
    converter_ = CodePageConverter::open(kWesternEurope);
    known = false;
  }
  lastName_.reset();
  lastBytes_.clear();
  return known;
}

std::optional<std::string> NameDecoder::decode(std::string_view bytes) {
  if (lastName_ && bytes == lastBytes_) {
    return lastName_;
  }
  // \M+nXXXX writes a double-byte character of an Asian code page (n = 1 to 5) in ASCII.
  std::optional<std::string> name = std::string();
  std::size_t plain = 0;
  std::size_t i = 0;
  while (name && i + 8 <= bytes.size()) {
    const std::string_view escape = bytes.substr(i, 8);
    std::uint32_t character = 0;
    const char* digits = escape.data() + 4;
    const auto [end, error] = std::from_chars(digits, digits + 4, character, 16);
    if (!escape.starts_with("\\M+") || escape[3] < '1' || escape[3] > '5' || error != std::errc{} ||
        end != digits + 4) {
      ++i;
      continue;
    }
    const std::optional<std::string> before = decodePlain(bytes.substr(plain, i - plain));
    const std::optional<std::string> asian = decodeAsian(escape[3], character);
    name = before && asian ? std::optional<std::string>(*name + *before + *asian) : std::nullopt;
    i += 8;
    plain = i;
  }
  if (name) {
    const std::optional<std::string> rest = decodePlain(bytes.substr(plain));
    name = rest ? std::optional<std::string>(withEscapesResolved(*name + *rest)) : std::nullopt;
  }
  lastBytes_.assign(bytes);
  lastName_ = name;
  return name;
}

std::optional<std::string> NameDecoder::decodeAsian(char page, std::uint32_t character) {
  // \M+1 to \M+5: Shift-JIS, Big5, Korean (Unified Hangul), Johab, GBK.
  constexpr std::array<unsigned, 5> kPages{932, 950, 949, 1361, 936};
  const std::optional<CodePageConverter> converter =
      CodePageConverter::open(kPages.at(static_cast<std::size_t>(page - '1')));
  if (!converter) {
    return std::nullopt;
  }
  const std::string bytes{static_cast<char>(character >> 8), static_cast<char>(character & 0xFF)};
  return converter->toUtf8(bytes);
}

std::optional<std::string> NameDecoder::decodePlain(std::string_view bytes) const {
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) {
    return std::string(bytes);
  }
  if (utf8_) {
    return isValidUtf8(bytes) ? std::optional<std::string>(std::string(bytes)) : std::nullopt;
  }
  return converter_ ? converter_->toUtf8(bytes) : std::nullopt;
}

}  // namespace kvm::dxf
