#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shop/page.h"
#include "shop/shop_book.h"

namespace kvm::shop {

// Landscape sizes in points.
Point paperSize(Paper paper);

// Numbers as the bill's files write them: a pattern of decimals, halves away from zero.
std::string fixed(double value, int decimals);
// Up to that many decimals, trailing zeros dropped.
std::string upTo(double value, int decimals);

// The text with each ill-formed part replaced by U+FFFD, as base/utf8.h repairs it: a name
// from a damaged file must not stop the drawing.
std::string validUtf8(std::string_view text);
[[nodiscard]] bool wellFormedUtf8(std::string_view text);

// Adds texts to a page, measured as they will be drawn.
class PageWriter {
 public:
  PageWriter(Page& page, const TextMeasure& measure) : page_(page), measure_(measure) {}

  [[nodiscard]] TextMetrics metrics(const std::string& text, double size, bool bold = false) const {
    return measure_.measure(text, size, bold);
  }
  [[nodiscard]] double width(const std::string& text, double size, bool bold = false) const {
    return metrics(text, size, bold).width;
  }

  // A text whose baseline starts at origin.
  const DrawnText& text(const std::string& text, Point origin, double size, bool bold = false,
                        double angle = 0);
  // A text ending at x (right-aligned).
  const DrawnText& textRight(const std::string& text, double right, double baseline, double size,
                             bool bold = false);

  // The text cut at a character boundary so that it fits, with "…" where it was cut.
  [[nodiscard]] std::string fitted(const std::string& text, double maxWidth, double size,
                                   bool bold = false) const;
  // Lines of at most maxWidth, broken after ", " where it can be, else between characters.
  [[nodiscard]] std::vector<std::string> wrapped(const std::string& text, double maxWidth,
                                                 double size) const;

  void line(Point from, Point to, double width = 0.5, double grey = 0) {
    page_.lines.push_back({from, to, width, grey});
  }
  void rect(Point corner, double width, double height, double fillGrey = 1,
            double strokeWidth = 0.5) {
    page_.rects.push_back({corner, width, height, fillGrey, strokeWidth});
  }
  Page& page() { return page_; }

 private:
  Page& page_;
  const TextMeasure& measure_;
};

}  // namespace kvm::shop
