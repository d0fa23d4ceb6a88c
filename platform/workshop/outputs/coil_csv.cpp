#include "platform/workshop/outputs/coil_csv.h"

#include <string>

#include "base/numbers.h"
#include "base/text.h"
#include "files/staged_file.h"

namespace kvm::workshop {

namespace {

std::string field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string number(double value) {
  return toUtf8(formatUpTo(value, 3));
}

}  // namespace

void writeCoilCsv(std::ostream& out, std::span<const CoilOrder> orders) {
  out << "\xEF\xBB\xBF"
      << "colour,thickness_mm,coil_width_mm,trim_mm,pattern,sheets,sheet_length_mm,flashing,"
         "strip_width_mm,strip_length_mm,strips\r\n";
  for (const CoilOrder& order : orders) {
    const CoilGroup& group = order.group;
    const std::string coil = field(group.colour) + ',' + number(group.thickness) + ',' +
                             number(group.coilWidth) + ',' + number(group.trim) + ',';
    int pattern = 0;
    for (const SheetPattern& sheet : order.plan.patterns) {
      ++pattern;
      for (const SheetStrips& strips : sheet.strips) {
        const CoilStrip& strip = group.strips.at(strips.strip);
        out << coil << pattern << ',' << sheet.sheets << ',' << number(sheet.length) << ','
            << field(strip.flashing) << ',' << number(strip.width) << ',' << number(strip.length)
            << ',' << strips.count << "\r\n";
      }
    }
  }
}

void writeCoilCsv(const std::filesystem::path& file, std::span<const CoilOrder> orders) {
  files::StagedFile staged(file);
  writeCoilCsv(staged.stream(), orders);
  staged.commit();
}

}  // namespace kvm::workshop
