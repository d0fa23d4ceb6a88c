#include "shop/page_writer.h"

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::shop {

namespace {

constexpr const char* kEllipsis = "…";

// The length of the UTF-8 character starting at byte i.
std::size_t characterLength(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  return std::min(length, text.size() - i);
}

// The length of the well-formed UTF-8 character at i, 0 when there is none.
std::size_t wellFormedLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

std::size_t wellFormedPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t n = wellFormedLength(text, i);
    if (n == 0) break;
    i += n;
  }
  return i;
}

}  // namespace

bool wellFormedUtf8(std::string_view text) {
  return wellFormedPrefix(text) == text.size();
}

std::string validUtf8(std::string_view text) {
  // Nearly every text is well formed: find the first fault before building anything.
  std::size_t i = wellFormedPrefix(text);
  std::string valid(text.substr(0, i));
  if (i == text.size()) return valid;
  valid.reserve(text.size() + 2);
  while (i < text.size()) {
    const std::size_t n = wellFormedLength(text, i);
    if (n == 0) {
      valid += "\xEF\xBF\xBD";
      ++i;
    } else {
      valid.append(text, i, n);
      i += n;
    }
  }
  return valid;
}

Point paperSize(Paper paper) {
  switch (paper) {
    case Paper::A3: return {1190.55, 841.89};
    case Paper::Letter: return {792, 612};
    case Paper::A4: break;
  }
  return {841.89, 595.28};
}

std::string fixed(double value, int decimals) {
  return toUtf8(formatFixed(value, decimals));
}

std::string upTo(double value, int decimals) {
  return toUtf8(formatUpTo(value, decimals));
}

const DrawnText& PageWriter::text(const std::string& text, Point origin, double size, bool bold,
                                  double angle) {
  std::string valid = validUtf8(text);
  const TextMetrics m = metrics(valid, size, bold);
  page_.texts.push_back({std::move(valid), origin, size, angle, bold, textBox(m, origin, angle)});
  return page_.texts.back();
}

const DrawnText& PageWriter::textRight(const std::string& text, double right, double baseline,
                                       double size, bool bold) {
  return this->text(text, {right - width(text, size, bold), baseline}, size, bold);
}

std::string PageWriter::fitted(const std::string& text, double maxWidth, double size,
                               bool bold) const {
  if (width(text, size, bold) <= maxWidth) return text;
  // The longest head of whole characters that fits with the ellipsis, found by halving: a
  // head's width grows with it, and trying every head made long cells quadratic.
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < text.size();) {
    i += characterLength(text, i);
    ends.push_back(i);
  }
  std::size_t fits = 0;  // characters
  std::size_t tooMany = ends.size();
  while (tooMany - fits > 1) {
    const std::size_t middle = fits + (tooMany - fits) / 2;
    if (width(text.substr(0, ends[middle - 1]) + kEllipsis, size, bold) <= maxWidth) {
      fits = middle;
    } else {
      tooMany = middle;
    }
  }
  return text.substr(0, fits == 0 ? 0 : ends[fits - 1]) + kEllipsis;
}

std::vector<std::string> PageWriter::wrapped(const std::string& text, double maxWidth,
                                             double size) const {
  if (width(text, size) <= maxWidth) return {text};
  // A line's width is kept as the sum of its characters' widths, which is never less than the
  // line's own: measuring every prefix made long line lists quadratic.
  std::vector<std::string> lines;
  std::string current;
  double currentWidth = 0;
  std::size_t lastBreak = std::string::npos;  // in current, after ", "
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = characterLength(text, i);
    const std::string character = text.substr(i, n);
    const double characterWidth = width(character, size);
    if (!current.empty() && currentWidth + characterWidth > maxWidth) {
      if (lastBreak != std::string::npos && lastBreak > 0) {
        lines.push_back(current.substr(0, lastBreak));
        current = current.substr(lastBreak);
      } else {
        lines.push_back(current);
        current.clear();
      }
      lastBreak = std::string::npos;
      while (!current.empty() && current.front() == ' ') current.erase(0, 1);
      currentWidth = 0;
      for (std::size_t k = 0; k < current.size();) {
        const std::size_t m = characterLength(current, k);
        currentWidth += width(current.substr(k, m), size);
        k += m;
      }
      continue;
    }
    current += character;
    currentWidth += characterWidth;
    i += n;
    if (current.size() >= 2 && current.compare(current.size() - 2, 2, ", ") == 0) {
      lastBreak = current.size();
    }
  }
  if (!current.empty() || lines.empty()) lines.push_back(current);
  return lines;
}

}  // namespace kvm::shop
