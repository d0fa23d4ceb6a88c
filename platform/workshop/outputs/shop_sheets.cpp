#include "platform/workshop/outputs/shop_sheets.h"

#include <algorithm>
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

void ShopSheets::add(const FlashingResult& result, const Flashing* profile, int bends) {
  const BillEntry& entry = *result.entry;
  shop::FlashingSheet sheet;
  sheet.block = result.block + 1;
  sheet.name = toUtf8(entry.name);
  sheet.colour = toUtf8(entry.color);
  if (profile != nullptr) sheet.profile = *profile;
  sheet.developedWidth = entry.developedWidth;
  sheet.bends = bends;
  sheet.rows = cutRows(result.plan);
  for (const ClassRow& row : result.rows) {
    sheet.piecesToCut += row.piecesToCut;
    sheet.runLength += row.runLength() / 1000;
    sheet.area += entry.developedWidth * row.runLength() / 1e6;
  }
  book_.flashings.push_back(std::move(sheet));
}

shop::ShopBook ShopSheets::finish(const std::string& project, const std::string& date,
                                  const std::string& thickness, std::vector<CoilOrder> coil,
                                  const BillCosts* costs) {
  book_.project = project;
  book_.date = date;
  book_.thickness = thickness;
  const double mm = parseNumber(fromUtf8(thickness)).value_or(0);
  if (costs != nullptr) book_.currency = costs->currency();
  for (shop::FlashingSheet& sheet : book_.flashings) {
    sheet.weight = shop::sheetWeight(sheet.area, mm);
    auto total = std::find_if(
        book_.totals.begin(), book_.totals.end(),
        [&sheet](const shop::ColourTotal& each) { return each.colour == sheet.colour; });
    if (total == book_.totals.end()) {
      shop::ColourTotal colour;
      colour.colour = sheet.colour;
      colour.thickness = mm;
      total = book_.totals.insert(book_.totals.end(), std::move(colour));
      if (costs != nullptr) total->cost = 0.0;
    }
    total->runLength += sheet.runLength;
    total->area += sheet.area;
    total->weight += sheet.weight;
    if (costs != nullptr) {
      const std::optional<double> rate = costs->materialRate(sheet.colour);
      if (rate) {
        sheet.cost = *rate * sheet.area + costs->folding(sheet.bends, sheet.runLength);
        if (total->cost) *total->cost += *sheet.cost;
      } else {
        total->cost.reset();  // a colour without its sheet price has no known cost
      }
    }
  }
  book_.coil = std::move(coil);
  return std::move(book_);
}

}  // namespace kvm::workshop
