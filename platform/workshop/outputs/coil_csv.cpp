#include "platform/workshop/outputs/coil_csv.h"

#include <string>

#include "base/numbers.h"
#include "base/text.h"
#include "files/staged_file.h"
#include "platform/workshop/outputs/cut_list.h"

namespace kvm::workshop {

namespace {

std::string number(double value) {
  return toUtf8(formatUpTo(value, 3));
}

}  // namespace

void writeCoilCsv(std::ostream& out, std::span<const CoilOrder> orders) {
  out << "\xEF\xBB\xBF"
      << "colour,thickness_mm,coil_width_mm,trim_mm,pattern,sheets,sheet_length_mm,row,"
         "row_width_mm,flashing,piece_length_mm,pieces\r\n";
  for (const CoilOrder& order : orders) {
    const CoilGroup& group = order.group;
    const std::string coil = csvField(group.colour) + ',' + number(group.thickness) + ',' +
                             number(group.coilWidth) + ',' + number(group.trim) + ',';
    int pattern = 0;
    for (const SheetPattern& sheet : order.plan.patterns) {
      ++pattern;
      int row = 0;
      for (const SheetRow& strip : sheet.rows) {
        ++row;
        for (const RowPieces& pieces : strip.pieces) {
          const CoilPiece& piece = group.pieces.at(pieces.piece);
          out << coil << pattern << ',' << sheet.sheets << ',' << number(sheet.length) << ',' << row
              << ',' << number(strip.width) << ',' << csvField(piece.flashing) << ','
              << number(piece.length) << ',' << pieces.count << "\r\n";
        }
      }
    }
  }
}

void writeCoilCsv(const std::filesystem::path& file, std::span<const CoilOrder> orders) {
  files::StagedFile staged(file);
  writeCoilCsv(staged.stream(), orders);
  staged.commit();
}

void writeCoilTotalCsv(std::ostream& out, std::span<const CoilOrder> orders) {
  out << "\xEF\xBB\xBF"
      << "colour,thickness_mm,coil_width_mm,trim_mm,sheets,coil_length_m,coil_area_m2,"
         "coil_weight_kg,pieces_area_m2,waste_percent\r\n";
  for (const CoilOrder& order : orders) {
    const CoilGroup& group = order.group;
    const CoilPlan& plan = order.plan;
    out << csvField(group.colour) << ',' << number(group.thickness) << ','
        << number(group.coilWidth) << ',' << number(group.trim) << ',' << plan.sheets << ','
        << number(plan.coilLength / 1000) << ',' << number(plan.coilArea) << ','
        << number(plan.coilArea * group.thickness * 7.85) << ',' << number(plan.piecesArea) << ','
        << toUtf8(formatFixed(plan.wastePercent, 2)) << "\r\n";
  }
}

void writeCoilTotalCsv(const std::filesystem::path& file, std::span<const CoilOrder> orders) {
  files::StagedFile staged(file);
  writeCoilTotalCsv(staged.stream(), orders);
  staged.commit();
}

}  // namespace kvm::workshop
