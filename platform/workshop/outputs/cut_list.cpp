#include "platform/workshop/outputs/cut_list.h"

#include <algorithm>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::workshop {

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    return text;
  }
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

CutList::CutList(const std::filesystem::path& file, bool priced)
    : file_(file), out_(file_.stream()), priced_(priced) {
  out_ << "\xEF\xBB\xBF"
       << "block,flashing,colour,developed_width_mm,class_length_mm,lines,piece_length_mm,"
          "pieces,pieces_to_cut,run_length_m,area_m2"
       << (priced_ ? ",bends,material_cost,folding_cost,cost" : "") << "\r\n";
}

void CutList::add(const FlashingResult& flashing, int bends) {
  const BillEntry& entry = *flashing.entry;
  const std::string colour = toUtf8(entry.color);
  auto total = std::find_if(totals_.begin(), totals_.end(),
                            [&colour](const Total& each) { return each.colour == colour; });
  if (total == totals_.end()) {
    total = totals_.insert(totals_.end(), Total{colour});
  }
  for (const ClassRow& row : flashing.rows) {
    const double run = row.runLength();
    const double area = entry.developedWidth * run / 1e6;
    total->lines += static_cast<std::size_t>(row.lengthClass.lines);
    total->piecesToCut += row.piecesToCut;
    total->runLength += run;
    total->area += area;
    std::string text = std::to_string(flashing.block + 1) + ',' + csvField(toUtf8(entry.name)) +
                       ',' + csvField(colour) + ',' + std::to_string(entry.developedWidth) + ',' +
                       std::to_string(row.lengthClass.length) + ',' +
                       std::to_string(row.lengthClass.lines) + ',' +
                       std::to_string(row.pieceLength) + ',' + toUtf8(generalText(row.pieces)) +
                       ',' + (row.split ? std::to_string(row.piecesToCut) : std::string()) + ',' +
                       toUtf8(formatFixed(run / 1000, 3)) + ',' + toUtf8(formatFixed(area, 3));
    if (priced_) {
      rows_.push_back({std::move(text), colour, bends, run / 1000, area});
    } else {
      out_ << text << "\r\n";
    }
  }
}

std::map<std::string, double> CutList::areaByColour() const {
  std::map<std::string, double> areas;
  for (const Total& total : totals_) areas[total.colour] += total.area;
  return areas;
}

std::string CutList::costColumns(const Row& row, Total& total, const BillCosts& costs) const {
  const std::optional<double> rate = costs.materialRate(row.colour);
  const double folding = costs.folding(row.bends, row.runLength);
  total.folding += folding;
  std::string columns = "," + std::to_string(row.bends) + ",";
  if (rate) {
    const double material = *rate * row.area;
    total.material += material;
    columns += money(material) + "," + money(folding) + "," + money(material + folding);
  } else {
    // Without the sheet's price the row's cost is not known; its folding still is.
    total.materialPriced = false;
    columns += "," + money(folding) + ",";
  }
  return columns;
}

void CutList::finish(const std::u16string& project, const std::u16string& date,
                     const BillCosts* costs) {
  for (const Row& row : rows_) {
    const auto total = std::find_if(totals_.begin(), totals_.end(), [&row](const Total& each) {
      return each.colour == row.colour;
    });
    out_ << row.text << (costs != nullptr ? costColumns(row, *total, *costs) : ",,,,") << "\r\n";
  }
  const std::string name = csvField(toUtf8(project) + " " + toUtf8(date));
  for (const Total& total : totals_) {
    out_ << "total," << name << ',' << csvField(total.colour) << ",,," << total.lines << ",,,"
         << total.piecesToCut << ',' << toUtf8(formatFixed(total.runLength / 1000, 3)) << ','
         << toUtf8(formatFixed(total.area, 3));
    if (priced_) {
      out_ << ",,";
      if (costs != nullptr && total.materialPriced) {
        out_ << money(total.material) << ',' << money(total.folding) << ','
             << money(total.material + total.folding);
      } else {
        out_ << ',' << (costs != nullptr ? money(total.folding) : std::string()) << ',';
      }
    }
    out_ << "\r\n";
  }
  file_.commit();
}

}  // namespace kvm::workshop
