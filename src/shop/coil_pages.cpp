#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

#include "shop/page_writer.h"
#include "shop/shop_layout.h"

namespace kvm::shop {

namespace {

constexpr double kMargin = 28;
constexpr double kLabelRoom = 150;  // right of the sheets, for rows too narrow for a label
constexpr double kMostCoilHeight = 118;
constexpr double kCaption = 15;
constexpr double kGap = 12;
constexpr double kLargestLabel = 9;
constexpr double kSmallestLabel = 4.5;
constexpr double kOutsideLabel = 6;
constexpr double kOutsideLine = kOutsideLabel + 1.5;
constexpr double kWaste = 0.86;
constexpr double kTrim = 0.62;

std::string millimetres(double value) {
  return upTo(value, 1);
}

std::string patternHeading(const SheetPattern& pattern, std::size_t number) {
  return "样式 " + std::to_string(number) + "    × " + std::to_string(pattern.sheets) +
         " 张    板长 " + millimetres(pattern.length) + " mm";
}

std::string pieceLabel(const CoilPiece& piece) {
  return piece.flashing + " " + millimetres(piece.width) + "×" + millimetres(piece.length);
}

// The largest label size, in steps of a quarter point, at which text fits width. Unhinted
// widths grow with the size, so one measure gives them all; the last check keeps rounding
// from letting a label out of its piece.
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

// Labels of a row's pieces beside the sheet, one line each, for rows too narrow to hold them.
std::vector<std::string> besideLabels(const CoilGroup& group, const SheetRow& row) {
  std::vector<std::string> labels;
  for (const RowPieces& pieces : row.pieces) {
    if (pieces.piece >= group.pieces.size() || pieces.count <= 0) continue;
    labels.push_back(pieceLabel(group.pieces[pieces.piece]) +
                     (pieces.count > 1 ? "  ×" + std::to_string(pieces.count) : ""));
  }
  return labels;
}

// How far below the sheet's top the labels beside it reach, for rows narrower than a label.
double besideExtent(const CoilGroup& group, const SheetPattern& pattern, double scale) {
  double y = 0;
  double bottom = 0;
  for (const SheetRow& row : pattern.rows) {
    const double h = row.width * scale;
    if (h * 0.72 < kSmallestLabel) {
      const double lines = static_cast<double>(besideLabels(group, row).size());
      const double start = std::max(y, bottom);
      bottom = start + lines * kOutsideLine;
    }
    y += h;
  }
  return bottom;
}

// One pattern: its caption, the coil's width downwards and the sheet's length to the right,
// shaded as waste, the trim along the bottom edge, then each row's pieces end to end from the
// left, labelled inside where the label fits and beside the sheet where it does not.
void drawPattern(PageWriter& writer, const CoilGroup& group, const SheetPattern& pattern,
                 std::size_t number, double top, double scale) {
  writer.text(patternHeading(pattern, number), {kMargin, top + 10}, 9, true);
  const double sheetTop = top + kCaption;
  writer.rect({kMargin, sheetTop}, pattern.length * scale, group.coilWidth * scale, kWaste, 0.6);
  if (group.trim > 0) {
    writer.rect({kMargin, sheetTop + (group.coilWidth - group.trim) * scale},
                pattern.length * scale, group.trim * scale, kTrim, 0.3);
  }
  double y = sheetTop;
  double besideBottom = sheetTop;
  const double besideX = kMargin + pattern.length * scale + 8;
  for (const SheetRow& row : pattern.rows) {
    const double h = row.width * scale;
    double x = kMargin;
    const bool narrow = h * 0.72 < kSmallestLabel;
    for (const RowPieces& pieces : row.pieces) {
      if (pieces.piece >= group.pieces.size()) continue;
      const CoilPiece& piece = group.pieces[pieces.piece];
      const double w = piece.length * scale;
      const std::string text = pieceLabel(piece);
      const double size =
          narrow ? 0 : labelSize(writer, text, std::min(kLargestLabel, h * 0.72), w - 6);
      for (int c = 0; c < pieces.count; ++c) {
        writer.rect({x, y}, w, h, 1, 0.4);
        if (size >= kSmallestLabel) {
          const TextMetrics m = writer.metrics(text, size);
          writer.text(text, {x + 3, y + h / 2 + (m.ascent - m.descent) / 2}, size);
        }
        x += w;
      }
    }
    if (narrow) {
      double baseline = std::max(y + h / 2, besideBottom) + kOutsideLabel;
      writer.line({x, y + h / 2}, {besideX - 2, baseline - kOutsideLabel / 2}, 0.3, 0.3);
      for (const std::string& label : besideLabels(group, row)) {
        writer.text(writer.fitted(label, kLabelRoom - 10, kOutsideLabel), {besideX, baseline},
                    kOutsideLabel);
        besideBottom = baseline + 1.5;
        baseline += kOutsideLine;
      }
    }
    y += h;
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
  const double coilHeight = coilWidth * scale;

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
      // What the shop cuts and orders; how good the plan is stays in the progress.
      const std::string summary = "卷材长度 " + fixed(plan.coilLength / 1000, 2) + " m, " +
                                  fixed(plan.coilArea, 2) + " m², " +
                                  fixed(plan.coilArea * group.thickness * 7.85, 1) + " kg, " +
                                  std::to_string(plan.sheets) + " 张, 损耗 " +
                                  fixed(plan.wastePercent, 1) + " % (灰色为余料)";
      for (const std::string& line : writer.wrapped(summary, right - kMargin, 9)) {
        y += 14;
        writer.text(line, {kMargin, y}, 9);
      }
    }
    y += 10;
    const std::size_t first = next;
    while (next < plan.patterns.size()) {
      const double height =
          kCaption + std::max(coilHeight, besideExtent(group, plan.patterns[next], scale)) + kGap;
      if (next != first && y + height > bottom) break;
      drawPattern(writer, group, plan.patterns[next], next + 1, y, scale);
      y += height;
      ++next;
    }
  } while (next < plan.patterns.size());
  return {std::make_move_iterator(pages.begin()), std::make_move_iterator(pages.end())};
}

}  // namespace kvm::shop
