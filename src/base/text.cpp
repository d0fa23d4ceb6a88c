#include "base/text.h"

#include "base/utf8.h"

namespace kvm {

std::string toUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    appendUtf8(out, c);  // a lone surrogate, having no UTF-8 form, becomes U+FFFD
  }
  return out;
}

std::u16string fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const Utf8Character character = decodeUtf8(text, i);
    char32_t c = character.code;
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += character.length;
  }
  return out;
}

std::u16string trimLeftSpaces(std::u16string_view text) {
  const auto first = text.find_first_not_of(u' ');
  return first == std::u16string_view::npos ? std::u16string() : std::u16string(text.substr(first));
}

std::u16string trimRightSpaces(std::u16string_view text) {
  const auto last = text.find_last_not_of(u' ');
  return last == std::u16string_view::npos ? std::u16string()
                                           : std::u16string(text.substr(0, last + 1));
}

std::u16string trimSpaces(std::u16string_view text) {
  return trimLeftSpaces(trimRightSpaces(text));
}

namespace {
char16_t upper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}
char16_t lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}
}  // namespace

bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) {
      return false;
    }
  }
  return true;
}

std::u16string asciiUpper(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) {
    c = upper(c);
  }
  return out;
}

std::u16string asciiLower(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) {
    c = lower(c);
  }
  return out;
}

std::u16string decimal(long long value) {
  const std::string digits = std::to_string(value);
  return {digits.begin(), digits.end()};
}

std::vector<std::u16string> split(std::u16string_view text, std::u16string_view separator) {
  std::vector<std::u16string> parts;
  if (text.empty()) {
    return parts;
  }
  size_t start = 0;
  while (true) {
    const auto at = separator.empty() ? std::u16string_view::npos : text.find(separator, start);
    if (at == std::u16string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
}

}  // namespace kvm
