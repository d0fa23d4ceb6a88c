#include "shop/page_writer.h"

#include "base/numbers.h"
#include "base/text.h"
#include "base/utf8.h"

namespace kvm::shop {

namespace {

constexpr const char* kEllipsis = "…";

// The length of the UTF-8 character starting at byte i, or of the ill-formed part there, which
// the page shows as one U+FFFD.
std::size_t characterLength(std::string_view text, std::size_t i) {
  return decodeUtf8(text, i).length;
}

}  // namespace

bool wellFormedUtf8(std::string_view text) {
  return isValidUtf8(text);
}

std::string validUtf8(std::string_view text) {
  return repairedUtf8(text);
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
