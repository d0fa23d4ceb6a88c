#include "apps/kavelmor/bill/bill_text.h"

#include <iomanip>
#include <numbers>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::cli {

namespace {

std::string degrees(double radians) {
  return toUtf8(formatUpTo(radians * 180 / std::numbers::pi, 3)) + "°";
}

std::string point(int x, int y) {
  return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

void field(std::ostream& out, const char* caption, const std::string& value) {
  out << "  " << std::left << std::setw(22) << caption << value << '\n';
}

void writeEntry(std::ostream& out, std::size_t index, const companion::BillEntry& entry,
                const companion::ProjectFlashing* row) {
  out << "\nFlashing " << index + 1 << ": " << toUtf8(entry.name);
  if (row != nullptr) {
    out << "   (current-use row " << toUtf8(row->currentUse) << ")";
  }
  out << '\n';
  field(out, "Maximum cut length", std::to_string(entry.maxCutLength) + " mm");
  field(out, "Overlap", std::to_string(entry.overlap) + " mm");
  field(out, "Colour", toUtf8(entry.color));
  field(out, "End extension", std::to_string(entry.endExtension) + " mm (both ends)");
  field(out, "Line-length factor", toUtf8(entry.lengthFactorText));
  field(out, "Developed width", std::to_string(entry.developedWidth) + " mm");
  field(out, "Scale", scaleText(entry.scaleCode));
  field(out, "Profile start", point(entry.startX, entry.startY));
  std::string segments = std::to_string(entry.segmentLengths.size());
  for (std::size_t i = 0; i < entry.segmentLengths.size(); ++i) {
    segments += (i == 0 ? ": " : ", ") + std::to_string(entry.segmentLengths[i]) + " at " +
                degrees(entry.segmentAngles[i]);
  }
  field(out, "Segments", segments);
  if (entry.dimensions.empty()) {
    field(out, "Dimension marks", "none");
  }
  for (const companion::BillDimension& mark : entry.dimensions) {
    field(out, "Dimension mark",
          std::string(mark.kind == 0 ? "linear " : "angular ") + point(mark.p1x, mark.p1y) + " " +
              point(mark.p2x, mark.p2y) + ", vertices " + std::to_string(mark.vertexA) + " " +
              std::to_string(mark.vertexB) + " " + std::to_string(mark.vertexC) + ", style " +
              std::to_string(mark.style));
  }
  if (entry.textMarks.empty()) {
    field(out, "Text marks", "none");
  }
  for (const companion::BillTextMark& mark : entry.textMarks) {
    field(out, "Text mark",
          "\"" + toUtf8(mark.text) + "\" at " + point(mark.x, mark.y) + ", " + degrees(mark.angle) +
              ", " + toUtf8(generalText(mark.auxValue)));
  }
}

}  // namespace

std::string noteLine(std::u16string_view note) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\r' || c == u'\n'; };
  while (!note.empty() && blank(note.front())) note.remove_prefix(1);
  while (!note.empty() && blank(note.back())) note.remove_suffix(1);
  return toUtf8(note);
}

std::string scaleText(int scaleCode) {
  return scaleCode == 5 ? "1:5" : "1:" + std::to_string(scaleCode) + "0";
}

void writeBillText(std::ostream& out, const companion::BillRecord& bill,
                   const std::vector<const companion::ProjectFlashing*>& rows,
                   const std::vector<std::u16string>& notes) {
  out << "Bill record handed over by the settings dialog (预清单)\n\n";
  field(out, "Project", toUtf8(bill.header.projectName));
  field(out, "Plate thickness", toUtf8(bill.header.plateThickness) + " mm");
  field(out, "Length class step", toUtf8(bill.header.lengthClassStep) + " mm");
  field(out, "Text height", toUtf8(bill.header.textHeight));
  field(out, "Date", toUtf8(bill.header.date));
  field(out, "Flashings", std::to_string(bill.entries.size()));
  for (const std::u16string& note : notes) {
    const std::string line = noteLine(note);
    if (!line.empty()) {
      field(out, "Left out", line);
    }
  }
  for (std::size_t i = 0; i < bill.entries.size(); ++i) {
    writeEntry(out, i, bill.entries[i], i < rows.size() ? rows[i] : nullptr);
  }
}

}  // namespace kvm::cli
