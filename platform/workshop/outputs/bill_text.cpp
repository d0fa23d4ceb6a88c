#include "platform/workshop/outputs/bill_text.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <numbers>

#include "base/numbers.h"
#include "base/text.h"

namespace kvm::workshop {

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

std::string millimetres(double value) {
  return toUtf8(formatUpTo(value, 1)) + " mm";
}

// The angle between two segments meeting at a bend, from their directions: 180° is straight
// on, 90° a right angle.
double bendDegrees(double fromDirection, double toDirection) {
  double turn = std::remainder(toDirection - fromDirection, 2 * std::numbers::pi);
  return (std::numbers::pi - std::abs(turn)) * 180 / std::numbers::pi;
}

// The component's count rows and sums as it writes them, then the pieces the cutting plan cuts.
void writeDrawn(std::ostream& out, const FlashingResult& drawn, const BillRow& cut) {
  for (const ClassRow& row : drawn.rows) {
    field(out, "Count row",
          std::to_string(row.lengthClass.lines) +
              (row.lengthClass.lines == 1 ? " line" : " lines") + " of the " +
              std::to_string(row.lengthClass.length) + " mm class: " + toUtf8(row.countText) +
              " × " + std::to_string(row.pieceLength) + " mm, the component's estimate; " +
              std::to_string(row.piecesToCut) + " whole pieces cut");
  }
  field(out, "Run length", toUtf8(drawn.lengthText) + " m, the component's estimate");
  field(out, "Area", toUtf8(drawn.areaText) + " m², the component's estimate");
  std::string pieces;
  for (const auto& [length, count] : cut.cuts) {
    pieces += (pieces.empty() ? "" : " + ") + std::to_string(count) + " × " +
              std::to_string(length) + " mm";
  }
  field(out, "Pieces cut",
        (pieces.empty() ? std::string("none") : pieces) + " = " +
            toUtf8(formatFixed(cut.pieceLength, 3)) + " m, " + toUtf8(formatFixed(cut.area, 3)) +
            " m², " + toUtf8(formatFixed(cut.weight, 2)) + " kg");
}

void writeEntry(std::ostream& out, std::size_t index, const BillEntry& entry,
                const std::u16string* row) {
  out << "\nFlashing " << index + 1 << ": " << toUtf8(entry.name);
  if (row != nullptr) {
    out << "   (current-use row " << toUtf8(*row) << ")";
  }
  out << '\n';
  field(out, "Maximum cut length", std::to_string(entry.maxCutLength) + " mm");
  field(out, "Overlap", std::to_string(entry.overlap) + " mm");
  field(out, "Colour", toUtf8(entry.color));
  field(out, "End extension",
        std::to_string(entry.endExtension) + " mm in all, added to every line's class length");
  field(out, "Line-length factor", toUtf8(entry.lengthFactorText));
  field(out, "Developed width", std::to_string(entry.developedWidth) + " mm");
  field(out, "Scale", scaleText(entry.scaleCode));
  field(out, "Profile start", point(entry.startX, entry.startY) + " (drawing units)");
  const int units = profileUnitsPerMillimetre(entry.scaleCode);
  std::string segments = std::to_string(entry.segmentLengths.size());
  double developed = 0;
  for (std::size_t i = 0; i < entry.segmentLengths.size(); ++i) {
    const double length = static_cast<double>(entry.segmentLengths[i]) / units;
    developed += length;
    segments += (i == 0 ? ": " : ", ") + millimetres(length);
    if (i + 1 < entry.segmentLengths.size() && i + 1 < entry.segmentAngles.size()) {
      segments +=
          ", bend " +
          toUtf8(formatUpTo(bendDegrees(entry.segmentAngles[i], entry.segmentAngles[i + 1]), 1)) +
          "°";
    }
  }
  field(out, "Segments (full size)", segments);
  if (!entry.segmentLengths.empty()) {
    field(out, "Segments together", millimetres(developed));
  }
  if (entry.dimensions.empty()) {
    field(out, "Dimension marks", "none");
  }
  for (const BillDimension& mark : entry.dimensions) {
    field(out, "Dimension mark",
          std::string(mark.kind == 0 ? "linear " : "angular ") + point(mark.p1x, mark.p1y) + " " +
              point(mark.p2x, mark.p2y) + ", vertices " + std::to_string(mark.vertexA) + " " +
              std::to_string(mark.vertexB) + " " + std::to_string(mark.vertexC) + ", style " +
              std::to_string(mark.style));
  }
  if (entry.textMarks.empty()) {
    field(out, "Text marks", "none");
  }
  for (const BillTextMark& mark : entry.textMarks) {
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

int profileUnitsPerMillimetre(int scaleCode) {
  return scaleCode == 5 ? 5 : std::max(1, scaleCode) * 10;
}

std::string scaleText(int scaleCode) {
  return scaleCode == 5 ? "1:5" : "1:" + std::to_string(scaleCode) + "0";
}

BillText::BillText(std::ostream& out, const BillRecord& bill,
                   const std::vector<std::u16string>& notes)
    : out_(out), thickness_(bill.header.plateThickness) {
  out << "Bill of " << toUtf8(bill.header.projectName) << ", " << toUtf8(bill.header.date)
      << " (预清单)\n\n";
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
}

void BillText::add(const FlashingResult& flashing, const BillRow& cut) {
  writeEntry(out_, flashing.block, *flashing.entry,
             flashing.flashing != nullptr ? &flashing.flashing->currentUse : nullptr);
  writeDrawn(out_, flashing, cut);
  const std::u16string& colour = flashing.entry->color;
  auto total = std::find_if(totals_.begin(), totals_.end(),
                            [&colour](const ColourTotal& each) { return each.colour == colour; });
  if (total == totals_.end()) {
    total = totals_.insert(totals_.end(), ColourTotal{colour});
  }
  total->cutLength += flashing.cutLength;
  total->area += flashing.area;
  total->pieces += cut.pieces;
  total->pieceLength += cut.pieceLength;
  total->pieceArea += cut.area;
}

void BillText::finish() {
  out_ << "\nTotals per colour and thickness\n";
  for (const ColourTotal& total : totals_) {
    field(out_, (toUtf8(total.colour) + ", " + toUtf8(thickness_) + " mm").c_str(),
          std::to_string(total.pieces) + " pieces cut, " +
              toUtf8(formatFixed(total.pieceLength, 3)) + " m, " +
              toUtf8(formatFixed(total.pieceArea, 3)) + " m²; the component's estimate " +
              toUtf8(formatFixed(total.cutLength / 1000, 2)) + " m, " +
              toUtf8(formatFixed(total.area, 2)) + " m²");
  }
}

}  // namespace kvm::workshop
