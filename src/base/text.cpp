#include "base/text.h"

#include <array>

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
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate cannot be written as UTF-8
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  auto byteAt = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < text.size()) {
    const unsigned char lead = byteAt(i);
    char32_t c = 0xFFFD;
    size_t length = 1;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
    }
    if (length > 1) {
      bool valid = i + length <= text.size();
      char32_t value = lead & (0x7F >> length);
      for (size_t k = 1; valid && k < length; ++k) {
        valid = (byteAt(i + k) & 0xC0) == 0x80;
        value = (value << 6) | (byteAt(i + k) & 0x3F);
      }
      // Overlong forms, encoded surrogates and values past U+10FFFF are not UTF-8.
      constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
      valid = valid && value >= kSmallest[length] && value <= 0x10FFFF &&
              (value < 0xD800 || value > 0xDFFF);
      if (valid) {
        c = value;
      } else {
        length = 1;
      }
    }
    if (c >= 0x10000 && c <= 0x10FFFF) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(c > 0x10FFFF ? u'\uFFFD' : static_cast<char16_t>(c));
    }
    i += length;
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
