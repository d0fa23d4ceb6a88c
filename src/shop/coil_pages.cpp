#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "coil/pattern_order.h"
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

constexpr double kListSize = 8;
constexpr double kListLine = 10.5;

std::string stripSize(const CoilStrip& strip) {
  return millimetres(strip.width) + "×" + millimetres(strip.length);
}

std::string patternHeading(const SheetPattern& pattern, std::size_t number) {
  return "样式 " + std::to_string(number) + "    × " + std::to_string(pattern.sheets) +
         " 张    板长 " + millimetres(pattern.length) + " mm";
}

// Patterns next to each other with the same layout share one drawing; each is then a line
// naming the flashings of its strips top down.
struct Band {
  std::size_t first = 0, last = 0;  // the patterns drawn, [first, last)
  std::vector<std::string> lines;   // empty for a pattern drawn alone
  double below = 0;                 // room under the sheet for labels beside it and the lines
};

std::string flashingsOf(const CoilGroup& group, const SheetPattern& pattern) {
  std::string names;
  for (const SheetStrips& kind : pattern.strips) {
    if (kind.strip >= group.strips.size() || kind.count <= 0) continue;
    if (!names.empty()) names += ", ";
    names += group.strips[kind.strip].flashing;
    if (kind.count > 1) names += " ×" + std::to_string(kind.count);
  }
  return names;
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
void drawSheet(PageWriter& writer, const CoilGroup& group, const CoilPlan& plan, const Band& band,
               double top, double scale) {
  const SheetPattern& pattern = plan.patterns[band.first];
  std::string caption = patternHeading(pattern, band.first + 1);
  if (!band.lines.empty()) {
    int sheets = 0;
    for (std::size_t i = band.first; i < band.last; ++i) sheets += plan.patterns[i].sheets;
    caption = "样式 " + std::to_string(band.first + 1) + "–" + std::to_string(band.last) +
              "    共 " + std::to_string(sheets) + " 张    板长 " + millimetres(pattern.length) +
              " mm    同一排样，各样式的条料自上而下：";
  }
  writer.text(caption, {kMargin, top + 10}, 9, true);
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
// and beside the sheet where it does not; named when the drawing is the pattern's alone.
// Returns how far the labels beside the sheet reach down.
double drawStrips(PageWriter& writer, const CoilGroup& group, const SheetPattern& pattern,
                  double top, double scale, bool named) {
  const double length = pattern.length * scale;
  double y = top + kCaption;
  double outsideBottom = y;
  // A drawing shared by several patterns labels strips by size: neighbours of one size are
  // one group there, whichever flashings they go to.
  std::vector<SheetStrips> groups;
  for (const SheetStrips& kind : pattern.strips) {
    if (kind.strip >= group.strips.size() || kind.count <= 0) continue;
    if (!named && !groups.empty()) {
      const CoilStrip& last = group.strips[groups.back().strip];
      const CoilStrip& next = group.strips[kind.strip];
      if (last.width == next.width && last.length == next.length) {
        groups.back().count += kind.count;
        continue;
      }
    }
    groups.push_back(kind);
  }
  for (const SheetStrips& kind : groups) {
    const CoilStrip& strip = group.strips[kind.strip];
    const double h = strip.width * scale;
    const double w = strip.length * scale;
    const std::string text = named ? strip.flashing + " " + stripSize(strip) : stripSize(strip);
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
  return outsideBottom;
}

void drawLines(PageWriter& writer, const Band& band, double top, double coilHeight) {
  double baseline =
      top + kCaption + coilHeight + band.below - kListLine * static_cast<double>(band.lines.size());
  for (const std::string& line : band.lines) {
    baseline += kListLine;
    writer.text(line, {kMargin, baseline - 3}, kListSize);
  }
}

// The bands of the plan: each pattern alone, or runs of one layout with their lines, split
// where a run's lines would not fit under its drawing on one page.
std::vector<Band> bandsOf(const CoilGroup& group, const CoilPlan& plan, const TextMeasure& measure,
                          double width, double scale, double room) {
  // Labels are drawn on a page of their own to see how far they reach; it is never printed.
  Page scratch;
  PageWriter writer(scratch, measure);
  std::vector<Band> bands;
  const double coilHeight = std::max(group.coilWidth, 1.0) * scale;
  for (std::size_t first = 0; first < plan.patterns.size();) {
    const SheetLayout layout = sheetLayout(group, plan.patterns[first]);
    std::size_t last = first + 1;
    while (last < plan.patterns.size() &&
           plan.patterns[last].length == plan.patterns[first].length &&
           sheetLayout(group, plan.patterns[last]) == layout) {
      ++last;
    }
    if (last - first == 1) {
      bands.push_back({first, last, {}, 0});
      first = last;
      continue;
    }
    const double beside =
        std::max(0.0, drawStrips(writer, group, plan.patterns[first], 0, scale, false) - kCaption -
                          coilHeight);
    scratch = Page{};
    const double most =
        std::max(1.0, std::floor((room - kCaption - coilHeight - beside - kGap - 4) / kListLine));
    const std::size_t runStart = bands.size();
    Band band{first, first, {}, 0};
    for (std::size_t i = first; i < last; ++i) {
      std::vector<std::string> lines = writer.wrapped(
          patternHeading(plan.patterns[i], i + 1) + ":  " + flashingsOf(group, plan.patterns[i]),
          width, kListSize);
      if (band.last > band.first && static_cast<double>(band.lines.size() + lines.size()) > most) {
        bands.push_back(std::move(band));
        band = Band{i, i, {}, 0};
      }
      band.lines.insert(band.lines.end(), lines.begin(), lines.end());
      band.last = i + 1;
    }
    bands.push_back(std::move(band));
    for (std::size_t b = runStart; b < bands.size(); ++b) {
      bands[b].below = beside + 4 + kListLine * static_cast<double>(bands[b].lines.size());
    }
    first = last;
  }
  return bands;
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
  const double coilHeight = coilWidth * scale;
  const double firstTop = kMargin + 14 + 10;

  std::deque<Page> pages;
  const std::vector<Band> bands =
      bandsOf(group, plan, measure, right - kMargin, scale, bottom - firstTop);
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
    while (next < bands.size()) {
      const double height = kCaption + coilHeight + bands[next].below + kGap;
      if (next != first && y + height > bottom) break;
      tops.push_back(y);
      y += height;
      ++next;
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
      drawSheet(writer, group, plan, bands[first + i], tops[i], scale);
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
      drawTrim(writer, group, plan.patterns[bands[first + i].first], tops[i], scale);
    }
    for (std::size_t i = 0; i < tops.size(); ++i) {
      const Band& band = bands[first + i];
      drawStrips(writer, group, plan.patterns[band.first], tops[i], scale, band.lines.empty());
      drawLines(writer, band, tops[i], coilHeight);
    }
  } while (next < bands.size());
  return {std::make_move_iterator(pages.begin()), std::make_move_iterator(pages.end())};
}

}  // namespace kvm::shop
