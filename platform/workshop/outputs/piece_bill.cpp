#include "platform/workshop/outputs/piece_bill.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/numbers.h"
#include "base/text.h"
#include "platform/workshop/outputs/cut_list.h"

namespace kvm::workshop {

namespace {

// Sheet steel weighs 7.85 kg per m² for each millimetre of thickness.
constexpr double kKilogramsPerSquareMetreAndMillimetre = 7.85;

// As the files print it: a figure rounded here and the same figure formatted there agree
// (64.1925 m² is 64.193 in both, although 64.1925 × 1000 is 64192.4999… in binary).
double rounded(double value, int decimals) {
  return roundPattern(value, decimals);
}

void addOptional(std::optional<double>& sum, const std::optional<double>& value, bool& known) {
  if (!value) {
    known = false;
    return;
  }
  sum = sum.value_or(0) + *value;
}

void addRow(BillTotal& total, const BillRow& row, bool& materialKnown) {
  total.lines += row.lines;
  total.pieces += row.pieces;
  total.lineLength += row.lineLength;
  total.pieceLength += row.pieceLength;
  total.area += row.area;
  total.weight += row.weight;
  addOptional(total.material, row.material, materialKnown);
  if (row.folding) total.folding = total.folding.value_or(0) + *row.folding;
}

// Sums are of the rounded rows, so that they add up as printed; rounded again against the
// last bits of binary fractions.
void finishTotal(BillTotal& total, bool priced, bool materialKnown) {
  total.lineLength = rounded(total.lineLength, 3);
  total.pieceLength = rounded(total.pieceLength, 3);
  total.area = rounded(total.area, 3);
  total.weight = rounded(total.weight, 2);
  if (!priced) return;
  total.folding = rounded(total.folding.value_or(0), 2);
  if (materialKnown && total.material) {
    total.material = rounded(*total.material, 2);
    total.cost = rounded(*total.material + *total.folding, 2);
  } else {
    total.material.reset();
  }
}

std::string fixed(double value, int decimals) {
  return toUtf8(formatFixed(value, decimals));
}

std::string optionalMoney(const std::optional<double>& value) {
  return value ? money(*value) : std::string();
}

}  // namespace

CoilNeed coilNeed(const CoilOrder& order) {
  CoilNeed need;
  need.colour = order.group.colour;
  need.thickness = order.group.thickness;
  need.coilWidth = order.group.coilWidth;
  need.length = rounded(order.plan.coilLength / 1000, 3);
  const double area = order.plan.coilLength * order.group.coilWidth / 1e6;
  need.area = rounded(area, 3);
  // From the area itself, as coil_total.csv weighs it: a rounded area weighed again drifts.
  need.weight = rounded(area * need.thickness * kKilogramsPerSquareMetreAndMillimetre, 2);
  return need;
}

std::vector<std::pair<int64_t, std::size_t>> piecesByLength(const CuttingPlan& plan) {
  std::map<int64_t, std::size_t, std::greater<>> byLength;
  for (const PlannedPiece& piece : plan.pieces) ++byLength[piece.length];
  return {byLength.begin(), byLength.end()};
}

PieceBill::PieceBill(std::string thickness)
    : thickness_(std::move(thickness)),
      thicknessMm_(parseNumber(fromUtf8(thickness_)).value_or(0)) {}

void PieceBill::add(const FlashingResult& result, int bends) {
  const BillEntry& entry = *result.entry;
  BillRow row;
  row.block = result.block + 1;
  row.name = toUtf8(entry.name);
  row.colour = toUtf8(entry.color);
  row.thickness = thickness_;
  row.developedWidth = entry.developedWidth;
  row.bends = bends;
  double drawn = 0;
  if (result.flashing != nullptr) {
    row.lines = result.flashing->lines.size();
    for (const PlanLine& line : result.flashing->lines) {
      drawn += std::hypot(line.endX - line.startX, line.endY - line.startY);
    }
  }
  row.lineLength = rounded(drawn / 1000, 3);
  int64_t millimetres = 0;
  for (const PlannedPiece& piece : result.plan.pieces) millimetres += piece.length;
  row.pieces = result.plan.pieces.size();
  row.pieceLength = static_cast<double>(millimetres) / 1000;
  const double area = static_cast<double>(millimetres) *
                      static_cast<double>(std::max<int64_t>(entry.developedWidth, 0)) / 1e6;
  row.area = rounded(area, 3);
  row.weight = rounded(area * thicknessMm_ * kKilogramsPerSquareMetreAndMillimetre, 2);
  row.cuts = piecesByLength(result.plan);
  rows_.push_back(std::move(row));
}

void PieceBill::price(const BillCosts& costs) {
  priced_ = true;
  for (BillRow& row : rows_) {
    const double area = row.pieceLength * static_cast<double>(row.developedWidth) / 1000;
    row.folding = rounded(costs.folding(row.bends, row.pieceLength), 2);
    const std::optional<double> rate = costs.materialRate(row.colour);
    if (rate) {
      row.material = rounded(*rate * area, 2);
      row.cost = rounded(*row.material + *row.folding, 2);
    }
  }
}

std::vector<BillTotal> PieceBill::colourTotals() const {
  std::vector<BillTotal> totals;
  std::vector<bool> known;
  for (const BillRow& row : rows_) {
    auto total = std::find_if(totals.begin(), totals.end(), [&row](const BillTotal& each) {
      return each.colour == row.colour && each.thickness == row.thickness;
    });
    if (total == totals.end()) {
      total = totals.insert(totals.end(), BillTotal{row.colour, row.thickness});
      known.push_back(true);
    }
    bool materialKnown = known[static_cast<std::size_t>(total - totals.begin())];
    addRow(*total, row, materialKnown);
    known[static_cast<std::size_t>(total - totals.begin())] = materialKnown;
  }
  for (std::size_t i = 0; i < totals.size(); ++i) finishTotal(totals[i], priced_, known[i]);
  return totals;
}

BillTotal PieceBill::total() const {
  BillTotal total;
  bool materialKnown = true;
  for (const BillRow& row : rows_) addRow(total, row, materialKnown);
  finishTotal(total, priced_, materialKnown);
  return total;
}

std::map<std::string, double> PieceBill::areaByColour() const {
  std::map<std::string, double> areas;
  for (const BillRow& row : rows_) {
    areas[row.colour] += row.pieceLength * static_cast<double>(row.developedWidth) / 1000;
  }
  return areas;
}

void writeBillCsv(std::ostream& out, const PieceBill& bill, const std::string& projectAndDate) {
  const bool priced = bill.priced();
  out << "\xEF\xBB\xBF"
      << "block,flashing,colour,thickness_mm,developed_width_mm,bends,lines,line_length_m,pieces,"
         "piece_length_m,area_m2,weight_kg"
      << (priced ? ",material_cost,folding_cost,cost" : "") << "\r\n";
  const auto figures =
      [&out, priced](std::size_t lines, double lineLength, std::size_t pieces, double pieceLength,
                     double area, double weight, const std::optional<double>& material,
                     const std::optional<double>& folding, const std::optional<double>& cost) {
        out << lines << ',' << fixed(lineLength, 3) << ',' << pieces << ',' << fixed(pieceLength, 3)
            << ',' << fixed(area, 3) << ',' << fixed(weight, 2);
        if (priced) {
          out << ',' << optionalMoney(material) << ',' << optionalMoney(folding) << ','
              << optionalMoney(cost);
        }
        out << "\r\n";
      };
  for (const BillRow& row : bill.rows()) {
    out << row.block << ',' << csvField(row.name) << ',' << csvField(row.colour) << ','
        << csvField(row.thickness) << ',' << row.developedWidth << ',' << row.bends << ',';
    figures(row.lines, row.lineLength, row.pieces, row.pieceLength, row.area, row.weight,
            row.material, row.folding, row.cost);
  }
  for (const BillTotal& total : bill.colourTotals()) {
    out << "total,," << csvField(total.colour) << ',' << csvField(total.thickness) << ",,,";
    figures(total.lines, total.lineLength, total.pieces, total.pieceLength, total.area,
            total.weight, total.material, total.folding, total.cost);
  }
  const BillTotal total = bill.total();
  out << "total," << csvField(projectAndDate) << ",,,,,";
  figures(total.lines, total.lineLength, total.pieces, total.pieceLength, total.area, total.weight,
          total.material, total.folding, total.cost);
}

}  // namespace kvm::workshop
