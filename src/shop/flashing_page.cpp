#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "shop/page_writer.h"
#include "shop/profile_drawing.h"
#include "shop/shop_layout.h"

namespace kvm::shop {

namespace {

constexpr double kMargin = 28;
constexpr double kTitleSize = 14;
constexpr double kSize = 9;
constexpr double kLineHeight = 13;
constexpr double kSmallest = 6.5;

double panelWidth(Point paper) {
  return std::max(240.0, paper.x * 0.3);
}

// The caption and value of a field, the value right-aligned.
void field(PageWriter& writer, double left, double right, double& y, const std::string& caption,
           const std::string& value, bool bold = false) {
  y += kLineHeight;
  writer.text(caption, {left, y}, kSize);
  const double room = right - left - writer.width(caption, kSize) - 8;
  writer.textRight(writer.fitted(value, room, kSize, bold), right, y, kSize, bold);
}

std::vector<std::string> notesOf(const Flashing& profile) {
  std::vector<std::string> notes;
  for (const TextMark& mark : profile.TextMarks) {
    if (mark.Text == u"*" || mark.Text.empty()) continue;
    std::string note = toUtf8(mark.Text);
    if (std::find(notes.begin(), notes.end(), note) == notes.end())
      notes.push_back(std::move(note));
  }
  return notes;
}

// The cutting plan's rows in three columns, the lines wrapped in theirs; rows that would run
// into the totals are summed up in one line.
void cuttingPlan(PageWriter& writer, const FlashingSheet& sheet, double left, double right,
                 double& y, double limit) {
  const double lengthRight = left + 62;
  const double piecesRight = left + 100;
  const double linesLeft = left + 110;
  y += kLineHeight + 4;
  writer.text("下料", {left, y}, kSize + 1, true);
  y += kLineHeight;
  writer.textRight("长度 mm", lengthRight, y, kSize - 1);
  writer.textRight("块数", piecesRight, y, kSize - 1);
  writer.text("线号", {linesLeft, y}, kSize - 1);
  writer.line({left, y + 3}, {right, y + 3}, 0.4);
  // The rows at a smaller size when that lets them all fit.
  double size = kSize;
  const auto heightAt = [&](double s) {
    double h = 0;
    for (const CutRow& row : sheet.rows) {
      h += s * 1.45 * static_cast<double>(writer.wrapped(row.lines, right - linesLeft, s).size());
    }
    return h;
  };
  while (size > kSmallest && y + 4 + heightAt(size) > limit) size -= 0.5;
  const double step = size * 1.45;
  y += 4;
  for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
    const CutRow& row = sheet.rows[r];
    const std::vector<std::string> lines = writer.wrapped(row.lines, right - linesLeft, size);
    const double needed = step * static_cast<double>(lines.size());
    const bool last = r + 1 == sheet.rows.size();
    if (y + needed > limit - (last ? 0 : step)) {
      y += step;
      writer.text(
          writer.fitted("… 另有 " + std::to_string(sheet.rows.size() - r) + " 行，见下料清单",
                        right - left, size),
          {left, y}, size);
      return;
    }
    y += step;
    writer.textRight(std::to_string(row.pieceLength), lengthRight, y, size);
    writer.textRight(std::to_string(row.pieces), piecesRight, y, size);
    for (std::size_t l = 0; l < lines.size(); ++l) {
      if (l > 0) y += step;
      writer.text(lines[l], {linesLeft, y}, size);
    }
  }
}

}  // namespace

DrawingArea flashingDrawingArea(Paper paper) {
  const Point size = paperSize(paper);
  return {{kMargin, kMargin + 34}, {size.x - kMargin - panelWidth(size) - 14, size.y - kMargin}};
}

Page layoutFlashingPage(const ShopBook& book, const FlashingSheet& sheet,
                        const TextMeasure& measure) {
  const Point paper = paperSize(book.paper);
  Page page{paper.x, paper.y, {}, {}, {}, {}, {}};
  PageWriter writer(page, measure);
  const double right = paper.x - kMargin;
  const DrawingArea area = flashingDrawingArea(book.paper);

  const std::string heading = book.project + "   " + book.date;
  const double headingWidth = std::min(writer.width(heading, kSize), paper.x * 0.35);
  writer.text(writer.fitted(std::to_string(sheet.block) + "   " + sheet.name,
                            right - kMargin - headingWidth - 20, kTitleSize, true),
              {kMargin, kMargin + 14}, kTitleSize, true);
  writer.textRight(writer.fitted(heading, headingWidth, kSize), right, kMargin + 14, kSize);
  writer.line({kMargin, kMargin + 22}, {right, kMargin + 22}, 0.8);

  const ProfileGeometry profile = profileGeometry(sheet.profile);
  std::vector<std::string> legend;
  if (profile.vertices.size() >= 2) {
    legend = drawProfile(writer, profile, area.topLeft, area.bottomRight);
  } else {
    writer.text("（无截面）", {area.topLeft.x + 10, area.topLeft.y + 20}, kSize);
  }

  const double left = right - panelWidth(paper);
  writer.line({left - 7, kMargin + 30}, {left - 7, paper.y - kMargin}, 0.4, 0.5);
  double y = kMargin + 34;
  field(writer, left, right, y, "色彩", sheet.colour);
  field(writer, left, right, y, "板厚", book.thickness + " mm");
  field(writer, left, right, y, "展开宽度", upTo(sheet.developedWidth, 1) + " mm", true);
  field(writer, left, right, y, "折弯", std::to_string(sheet.bends), true);
  if (profile.vertices.size() >= 2 &&
      std::abs(profile.girth - sheet.developedWidth) > std::max(1.0, sheet.developedWidth * 0.1)) {
    field(writer, left, right, y, "截面各段合计", upTo(profile.girth, 1) + " mm ≠ 展开宽度");
  }
  if (profile.vertices.size() >= 2) {
    y += kLineHeight;
    writer.text(writer.fitted("图中长度 mm，角度为相邻两段的夹角", right - left, kSize - 1),
                {left, y}, kSize - 1);
  }
  if (!page.shapes.empty()) {
    // The star's meaning beside a small copy of it.
    y += kLineHeight;
    const double r = 4;
    page.shapes.push_back({starShape({left + r, y - 3}, r)});
    writer.text("详图标记的一面", {left + 2 * r + 5, y}, kSize - 1);
  }
  // Notes and labels the drawing could not hold take at most a third of the panel, so that
  // the cutting plan keeps its room.
  std::vector<std::string> extra;
  for (const std::string& note : notesOf(sheet.profile)) {
    for (std::string& line : writer.wrapped("备注：" + note, right - left, kSize)) {
      extra.push_back(std::move(line));
    }
  }
  for (const std::string& missing : legend) extra.push_back("未在图中标注：" + missing);
  const auto room = static_cast<std::size_t>((paper.y - 2 * kMargin) / 3 / kLineHeight);
  for (std::size_t i = 0; i < extra.size() && i < room; ++i) {
    const bool cut = i + 1 == room && extra.size() > room;
    y += kLineHeight;
    writer.text(writer.fitted(cut ? extra[i] + " …" : extra[i], right - left, kSize), {left, y},
                kSize);
  }

  // Prices stay on the cover: this page goes to the shop floor.
  const int totalRows = 5;
  const double totalsTop = paper.y - kMargin - kLineHeight * totalRows - 8;
  cuttingPlan(writer, sheet, left, right, y, totalsTop - 6);

  y = totalsTop;
  writer.line({left, y}, {right, y}, 0.4);
  y += 4;
  field(writer, left, right, y, "下料块数", std::to_string(sheet.piecesToCut), true);
  field(writer, left, right, y, "长度", fixed(sheet.runLength, 3) + " m");
  field(writer, left, right, y, "面积", fixed(sheet.area, 3) + " m²");
  field(writer, left, right, y, "重量", fixed(sheet.weight, 2) + " kg");
  return page;
}

}  // namespace kvm::shop
