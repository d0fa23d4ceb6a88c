#include <algorithm>
#include <cmath>
#include <deque>

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

// One sheet pattern to scale: the coil's width downwards, the sheet's length to the right,
// its strips from the top edge, the trim along the bottom edge, the waste shaded.
void drawPattern(PageWriter& writer, const CoilGroup& group, const SheetPattern& pattern,
                 std::size_t number, double top, double scale) {
  writer.text("样式 " + std::to_string(number) + "    × " + std::to_string(pattern.sheets) +
                  " 张    板长 " + millimetres(pattern.length) + " mm",
              {kMargin, top + 10}, 9, true);
  const double y0 = top + kCaption;
  const double height = group.coilWidth * scale;
  const double length = pattern.length * scale;
  writer.rect({kMargin, y0}, length, height, kWaste, 0.6);
  if (group.trim > 0) {
    writer.rect({kMargin, y0 + height - group.trim * scale}, length, group.trim * scale, kTrim,
                0.3);
  }
  double y = y0;
  double outsideBottom = y0;
  for (const SheetStrips& kind : pattern.strips) {
    if (kind.strip >= group.strips.size() || kind.count <= 0) continue;
    const CoilStrip& strip = group.strips[kind.strip];
    const double h = strip.width * scale;
    const double w = strip.length * scale;
    const std::string text = stripText(strip);
    const double groupTop = y;
    bool inside = true;
    for (int c = 0; c < kind.count; ++c) {
      writer.rect({kMargin, y}, w, h, 1, 0.4);
      double size = std::min(kLargestLabel, h * 0.72);
      while (size >= kSmallestLabel && writer.width(text, size) > w - 6) size -= 0.25;
      if (size >= kSmallestLabel) {
        const TextMetrics m = writer.metrics(text, size);
        writer.text(text, {kMargin + 3, y + h / 2 + (m.ascent - m.descent) / 2}, size);
      } else {
        inside = false;
      }
      y += h;
    }
    if (!inside) {
      const std::string label = text + (kind.count > 1 ? "  ×" + std::to_string(kind.count) : "");
      const TextMetrics m = writer.metrics(label, kOutsideLabel);
      const double baseline =
          std::max((groupTop + y) / 2 + (m.ascent - m.descent) / 2, outsideBottom + m.ascent + 1);
      const double x = kMargin + length + 8;
      writer.line({kMargin + w, (groupTop + y) / 2}, {x - 2, baseline - m.ascent / 2}, 0.3, 0.3);
      writer.text(writer.fitted(label, kLabelRoom - 10, kOutsideLabel), {x, baseline},
                  kOutsideLabel);
      outsideBottom = baseline + m.descent;
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
    while (next < plan.patterns.size() && (next == first || y + band <= bottom)) {
      drawPattern(writer, group, plan.patterns[next], next + 1, y, scale);
      y += band;
      ++next;
    }
  } while (next < plan.patterns.size());
  return {std::make_move_iterator(pages.begin()), std::make_move_iterator(pages.end())};
}

}  // namespace kvm::shop
