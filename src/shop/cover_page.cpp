#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>

#include "shop/page_writer.h"
#include "shop/shop_layout.h"

namespace kvm::shop {

namespace {

constexpr double kMargin = 28;
constexpr double kLargest = 8.5;
constexpr double kSmallest = 6.5;  // below this a workshop would rather turn the page
constexpr double kPadding = 3;

struct Column {
  std::string caption;
  double share = 1;  // of the table's width
  bool right = true;
};

double rowHeight(double size) {
  return size * 1.55;
}

// One table of texts in columns, rules between the rows; cells that do not fit are cut with
// "…".
class Table {
 public:
  Table(PageWriter& writer, std::vector<Column> columns, double left, double right, double size)
      : writer_(writer), columns_(std::move(columns)), size_(size) {
    double shares = 0;
    for (const Column& c : columns_) shares += c.share;
    double x = left;
    for (const Column& c : columns_) {
      edges_.push_back(x);
      x += (right - left) * c.share / shares;
    }
    edges_.push_back(right);
  }

  void header(double& y) {
    std::vector<std::string> captions;
    for (const Column& c : columns_) captions.push_back(c.caption);
    row(y, captions, true);
  }

  void row(double& y, const std::vector<std::string>& cells, bool bold = false) {
    const double h = rowHeight(size_);
    const double baseline = y + h - (h - size_) / 2 - size_ * 0.2;
    for (std::size_t i = 0; i < columns_.size() && i < cells.size(); ++i) {
      const double width = edges_[i + 1] - edges_[i] - 2 * kPadding;
      const std::string text = writer_.fitted(cells[i], width, size_, bold);
      if (columns_[i].right) {
        writer_.textRight(text, edges_[i + 1] - kPadding, baseline, size_, bold);
      } else {
        writer_.text(text, {edges_[i] + kPadding, baseline}, size_, bold);
      }
    }
    y += h;
    writer_.line({edges_.front(), y}, {edges_.back(), y}, bold ? 0.6 : 0.25, bold ? 0 : 0.4);
  }

 private:
  PageWriter& writer_;
  std::vector<Column> columns_;
  std::vector<double> edges_;
  double size_;
};

std::vector<Column> flashingColumns(bool priced, const std::string& currency) {
  std::vector<Column> columns{
      {"编号", 0.5},        {"名称", 2.2, false}, {"色彩", 1.0, false},
      {"展开宽度 mm", 1.0}, {"折弯", 0.55},       {"下料 块 × mm", 3.0, false},
      {"长度 m", 0.95},     {"面积 m²", 0.95},    {"重量 kg", 0.95}};
  if (priced) columns.push_back({"金额 " + currency, 1.0});
  return columns;
}

std::vector<std::string> flashingCells(const FlashingSheet& sheet, bool priced) {
  std::string cut;
  for (const CutRow& row : sheet.rows) {
    if (!cut.empty()) cut += ", ";
    cut += std::to_string(row.pieces) + " × " + std::to_string(row.pieceLength);
  }
  std::vector<std::string> cells{std::to_string(sheet.block),
                                 sheet.name,
                                 sheet.colour,
                                 upTo(sheet.developedWidth, 1),
                                 std::to_string(sheet.bends),
                                 cut,
                                 fixed(sheet.runLength, 3),
                                 fixed(sheet.area, 3),
                                 fixed(sheet.weight, 2)};
  if (priced) cells.push_back(sheet.cost ? fixed(*sheet.cost, 2) : "");
  return cells;
}

bool pricedBook(const ShopBook& book) {
  return !book.currency.empty() ||
         std::any_of(book.flashings.begin(), book.flashings.end(),
                     [](const FlashingSheet& s) { return s.cost.has_value(); });
}

}  // namespace

std::vector<Page> layoutCover(const ShopBook& book, const TextMeasure& measure) {
  const Point paper = paperSize(book.paper);
  const double left = kMargin;
  const double right = paper.x - kMargin;
  const double bottom = paper.y - kMargin - 12;  // the page number's line below
  const bool priced = pricedBook(book);

  // Pages stay where they are while more are added: the writers hold them.
  std::deque<Page> pages(1, Page{paper.x, paper.y, {}, {}, {}, {}, {}});
  PageWriter first(pages[0], measure);
  double y = kMargin + 18;
  first.text(first.fitted(book.project, right - left, 18, true), {left, y}, 18, true);
  y += 18;
  first.text(first.fitted("包角加工图    日期 " + book.date + "    板厚 " + book.thickness + " mm",
                          right - left, 10),
             {left, y}, 10);
  y += 20;
  first.text("合计（按色彩和板厚）", {left, y}, 10, true);
  y += 4;
  const double totalsRight = left + std::min(right - left, 560.0);
  std::vector<Column> totalColumns{{"色彩", 1.4, false}, {"板厚 mm", 1.0}, {"块数", 0.8},
                                   {"长度 m", 1.0},      {"面积 m²", 1.0}, {"重量 kg", 1.0}};
  if (priced) totalColumns.push_back({"金额 " + book.currency, 1.0});
  Table totals(first, totalColumns, left, totalsRight, kLargest);
  totals.header(y);
  const auto totalCells = [priced](const ColourTotal& total, const std::string& thickness) {
    std::vector<std::string> cells{total.colour,
                                   thickness,
                                   std::to_string(total.pieces),
                                   fixed(total.runLength, 3),
                                   fixed(total.area, 3),
                                   fixed(total.weight, 2)};
    if (priced) cells.push_back(total.cost ? fixed(*total.cost, 2) : "");
    return cells;
  };
  for (const ColourTotal& total : book.totals) {
    totals.row(y, totalCells(total, upTo(total.thickness, 3)));
  }
  if (book.total) totals.row(y, totalCells(*book.total, ""), true);
  if (!book.coilToOrder.empty()) {
    y += 16;
    first.text("卷材订货（按色彩和板厚）", {left, y}, 10, true);
    y += 4;
    Table coil(first,
               {{"色彩", 1.4, false},
                {"板厚 mm", 1.0},
                {"卷宽 mm", 0.8},
                {"长度 m", 1.0},
                {"面积 m²", 1.0},
                {"重量 kg", 1.0}},
               left, totalsRight, kLargest);
    coil.header(y);
    for (const CoilToOrder& order : book.coilToOrder) {
      coil.row(y, {order.colour, upTo(order.thickness, 3), upTo(order.width, 1),
                   fixed(order.length, 3), fixed(order.area, 3), fixed(order.weight, 2)});
    }
  }
  y += 16;
  first.text("包角清单", {left, y}, 10, true);
  y += 4;

  // All rows on the first page at the largest size that lets them fit; otherwise the table
  // goes on over further cover pages at a legible size.
  const std::size_t rows = book.flashings.size();
  double size = kLargest;
  while (size > kSmallest && y + rowHeight(size) * static_cast<double>(rows + 1) > bottom) {
    size -= 0.25;
  }
  std::size_t next = 0;
  PageWriter* writer = &first;
  std::optional<PageWriter> continued;
  while (true) {
    Table table(*writer, flashingColumns(priced, book.currency), left, right, size);
    table.header(y);
    while (next < rows && y + rowHeight(size) <= bottom) {
      table.row(y, flashingCells(book.flashings[next], priced));
      ++next;
    }
    if (next >= rows) break;
    pages.push_back(Page{paper.x, paper.y, {}, {}, {}, {}, {}});
    continued.emplace(pages.back(), measure);
    writer = &*continued;
    y = kMargin + 14;
    writer->text(writer->fitted(book.project + "    包角清单（续）", right - left, 10, true),
                 {left, y}, 10, true);
    y += 6;
  }
  return {std::make_move_iterator(pages.begin()), std::make_move_iterator(pages.end())};
}

}  // namespace kvm::shop
