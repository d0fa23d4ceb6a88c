#include "platform/workshop/outputs/shop_sheets.h"

#include <map>
#include <set>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::workshop {

namespace {

std::string lineRuns(const std::set<std::size_t>& lines) {
  std::string text;
  for (auto at = lines.begin(); at != lines.end();) {
    const std::size_t first = *at;
    std::size_t last = first;
    while (++at != lines.end() && *at == last + 1) last = *at;
    if (!text.empty()) text += ", ";
    text += std::to_string(first + 1);
    if (last > first) text += (last == first + 1 ? ", " : "–") + std::to_string(last + 1);
  }
  return text;
}

}  // namespace

std::vector<shop::CutRow> cutRows(const CuttingPlan& plan) {
  // Longest first, as the workshop cuts them.
  std::map<int64_t, std::pair<std::size_t, std::set<std::size_t>>, std::greater<>> byLength;
  for (const PlannedPiece& piece : plan.pieces) {
    auto& [count, lines] = byLength[piece.length];
    ++count;
    lines.insert(piece.line);
  }
  std::vector<shop::CutRow> rows;
  rows.reserve(byLength.size());
  for (const auto& [length, pieces] : byLength) {
    rows.push_back({length, pieces.first, lineRuns(pieces.second)});
  }
  return rows;
}

void ShopSheets::add(const FlashingResult& result, const Flashing* profile) {
  const BillEntry& entry = *result.entry;
  shop::FlashingSheet sheet;
  sheet.block = result.block + 1;
  sheet.name = toUtf8(entry.name);
  sheet.colour = toUtf8(entry.color);
  if (profile != nullptr) sheet.profile = *profile;
  sheet.developedWidth = static_cast<double>(entry.developedWidth);
  sheet.rows = cutRows(result.plan);
  book_.flashings.push_back(std::move(sheet));
}

namespace {

shop::ColourTotal bookTotal(const BillTotal& total, const std::string& colour, double thickness) {
  shop::ColourTotal shown;
  shown.colour = colour;
  shown.thickness = thickness;
  shown.runLength = total.pieceLength;
  shown.area = total.area;
  shown.weight = total.weight;
  shown.cost = total.cost;
  shown.pieces = total.pieces;
  return shown;
}

}  // namespace

shop::ShopBook ShopSheets::finish(const std::string& project, const std::string& date,
                                  const std::string& thickness, std::vector<CoilOrder> coil,
                                  const PieceBill& bill, const BillCosts* costs) {
  book_.project = project;
  book_.date = date;
  book_.thickness = thickness;
  const double mm = parseNumber(fromUtf8(thickness)).value_or(0);
  if (costs != nullptr) book_.currency = costs->currency();
  // The sheets were added in the bill's order, a row each.
  for (std::size_t i = 0; i < book_.flashings.size() && i < bill.rows().size(); ++i) {
    shop::FlashingSheet& sheet = book_.flashings[i];
    const BillRow& row = bill.rows()[i];
    sheet.bends = row.bends;
    sheet.piecesToCut = row.pieces;
    sheet.runLength = row.pieceLength;
    sheet.area = row.area;
    sheet.weight = row.weight;
    sheet.cost = row.cost;
  }
  for (const BillTotal& total : bill.colourTotals()) {
    book_.totals.push_back(
        bookTotal(total, total.colour, parseNumber(fromUtf8(total.thickness)).value_or(mm)));
  }
  book_.total = bookTotal(bill.total(), "合计", mm);
  for (const CoilOrder& order : coil) {
    const CoilNeed need = coilNeed(order);
    book_.coilToOrder.push_back(
        {need.colour, need.thickness, need.coilWidth, need.length, need.area, need.weight});
  }
  book_.coil = std::move(coil);
  return std::move(book_);
}

}  // namespace kvm::workshop
