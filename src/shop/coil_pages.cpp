#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "shop/page_writer.h"
#include "shop/shop_layout.h"

namespace kvm::shop {

namespace {

constexpr double kMargin = 28;
constexpr double kLabelRoom = 150;  // right of the sheets, for strips too narrow for a label
constexpr double kMostCoilHeight = 118;
constexpr double kCaption = 15;
constexpr double kGap = 12;
constexpr double kLargestLabel = 9;
constexpr double kSmallestLabel = 4.5;
constexpr double kOutsideLabel = 6;
constexpr double kWaste = 0.86;
constexpr double kTrim = 0.62;

std::string millimetres(double value) {
  return upTo(value, 1);
}

std::string stripText(const CoilStrip& strip) {
  return strip.flashing + " " + millimetres(strip.width) + "×" + millimetres(strip.length);
}

// The largest label size, in steps of a quarter point, at which text fits width. Unhinted
// widths grow with the size, so one measure gives them all; the last check keeps rounding
// from letting a label out of its strip.
double labelSize(const PageWriter& writer, const std::string& text, double start, double width) {
  const double atLargest = writer.width(text, kLargestLabel);
  double size = start;
  if (atLargest > 0 && atLargest * start / kLargestLabel > width) {
    const double fits = width * kLargestLabel / atLargest;
    size = start - std::ceil((start - fits) / 0.25 - 1e-9) * 0.25;
  }
  while (size >= kSmallestLabel && writer.width(text, size) > width) size -= 0.25;
  return size;
}

// The sheet of one pattern under its strips: its caption, the coil's width downwards and the
// sheet's length to the right, shaded as waste, and the trim along the bottom edge. The sheets
// of a page are drawn before any strip, so that one fill and one stroke serve each kind of
// shading.
void drawSheet(PageWriter& writer, const CoilGroup& group, const SheetPattern& pattern,
               std::size_t number, double top, double scale) {
  writer.text("样式 " + std::to_string(number) + "    × " + std::to_string(pattern.sheets) +
                  " 张    板长 " + millimetres(pattern.length) + " mm",
              {kMargin, top + 10}, 9, true);
  writer.rect({kMargin, top + kCaption}, pattern.length * scale, group.coilWidth * scale, kWaste,
              0.6);
}

void drawTrim(PageWriter& writer, const CoilGroup& group, const SheetPattern& pattern, double top,
              double scale) {
  if (group.trim <= 0) return;
  writer.rect({kMargin, top + kCaption + (group.coilWidth - group.trim) * scale},
              pattern.length * scale, group.trim * scale, kTrim, 0.3);
}

// The strips of a pattern from the sheet's top edge, each labelled inside where the label fits
// and beside the sheet where it does not.
void drawStrips(PageWriter& writer, const CoilGroup& group, const SheetPattern& pattern, double top,
                double scale) {
  const double length = pattern.length * scale;
  double y = top + kCaption;
  double outsideBottom = y;
  for (const SheetStrips& kind : pattern.strips) {
    if (kind.strip >= group.strips.size() || kind.count <= 0) continue;
    const CoilStrip& strip = group.strips[kind.strip];
    const double h = strip.width * scale;
    const double w = strip.length * scale;
    const std::string text = stripText(strip);
    const double size = labelSize(writer, text, std::min(kLargestLabel, h * 0.72), w - 6);
    const bool inside = size >= kSmallestLabel;
    const TextMetrics m = inside ? writer.metrics(text, size) : TextMetrics{};
    const double groupTop = y;
    for (int c = 0; c < kind.count; ++c) {
      writer.rect({kMargin, y}, w, h, 1, 0.4);
      if (inside) writer.text(text, {kMargin + 3, y + h / 2 + (m.ascent - m.descent) / 2}, size);
      y += h;
    }
    if (!inside) {
      const std::string label = text + (kind.count > 1 ? "  ×" + std::to_string(kind.count) : "");
      const TextMetrics outside = writer.metrics(label, kOutsideLabel);
      const double baseline = std::max((groupTop + y) / 2 + (outside.ascent - outside.descent) / 2,
                                       outsideBottom + outside.ascent + 1);
      const double x = kMargin + length + 8;
      writer.line({kMargin + w, (groupTop + y) / 2}, {x - 2, baseline - outside.ascent / 2}, 0.3,
                  0.3);
      writer.text(writer.fitted(label, kLabelRoom - 10, kOutsideLabel), {x, baseline},
                  kOutsideLabel);
      outsideBottom = baseline + outside.descent;
    }
  }
}

}  // namespace

std::vector<Page> layoutCoilPages(const ShopBook& book, const CoilOrder& order,
                                  const TextMeasure& measure) {
  const Point paper = paperSize(book.paper);
  const CoilGroup& group = order.group;
  const CoilPlan& plan = order.plan;
  const double right = paper.x - kMargin;
  const double bottom = paper.y - kMargin - 12;

  double longest = 1;
  for (const SheetPattern& pattern : plan.patterns) longest = std::max(longest, pattern.length);
  const double coilWidth = std::max(group.coilWidth, 1.0);
  const double scale =
      std::min((right - kMargin - kLabelRoom) / longest, kMostCoilHeight / coilWidth);
  const double band = kCaption + coilWidth * scale + kGap;

  std::deque<Page> pages;
  const std::string heading = "卷材排料    " + group.colour + "    " + upTo(group.thickness, 3) +
                              " mm    卷宽 " + millimetres(group.coilWidth) + " mm    修边 " +
                              millimetres(group.trim) + " mm";
  std::size_t next = 0;
  do {
    pages.push_back(Page{paper.x, paper.y, {}, {}, {}, {}, {}});
    PageWriter writer(pages.back(), measure);
    double y = kMargin + 14;
    writer.text(
        writer.fitted(heading + (pages.size() > 1 ? "    （续）" : ""), right - kMargin, 12, true),
        {kMargin, y}, 12, true);
    if (pages.size() == 1) {
      const std::string summary =
          "卷材长度 " + fixed(plan.coilLength / 1000, 2) + " m, " + std::to_string(plan.sheets) +
          " 张, 损耗 " + fixed(plan.wastePercent, 1) + " %, " +
          (plan.lpBound > 0 ? "LP 下界 " + fixed(plan.lpBound / 1000, 2) + " m, " : "") +
          "面积下界 " + fixed(plan.areaBound / 1000, 2) + " m, 差距 " + fixed(plan.gapPercent, 2) +
          " %";
      for (const std::string& line : writer.wrapped(summary, right - kMargin, 9)) {
        y += 14;
        writer.text(line, {kMargin, y}, 9);
      }
    }
    y += 10;
    const std::size_t first = next;
    std::vector<double> tops;
    while (next < plan.patterns.size() && (next == first || y + band <= bottom)) {
      tops.push_back(y);
      y += band;
      ++next;
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
      drawSheet(writer, group, plan.patterns[first + i], first + i + 1, tops[i], scale);
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
      drawTrim(writer, group, plan.patterns[first + i], tops[i], scale);
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
      drawStrips(writer, group, plan.patterns[first + i], tops[i], scale);
    }
  } while (next < plan.patterns.size());
  return {std::make_move_iterator(pages.begin()), std::make_move_iterator(pages.end())};
}

}  // namespace kvm::shop
