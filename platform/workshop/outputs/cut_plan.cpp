#include "platform/workshop/outputs/cut_plan.h"

#include "base/text.h"
#include "platform/workshop/outputs/cut_list.h"

namespace kvm::workshop {

CutPlanFile::CutPlanFile(const std::filesystem::path& file) : file_(file), out_(file_.stream()) {
  out_ << "\xEF\xBB\xBF"
       << "block,flashing,line,piece_length_mm,from_offcut,strip_length_mm\r\n";
}

void CutPlanFile::add(const FlashingResult& flashing) {
  const std::string name = csvField(toUtf8(flashing.entry->name));
  for (const PlannedPiece& piece : flashing.plan.pieces) {
    out_ << flashing.block + 1 << ',' << name << ',' << piece.line + 1 << ',' << piece.length << ','
         << (piece.fromOffcut ? "yes" : "no") << ','
         << (piece.fromOffcut ? std::string() : std::to_string(piece.stripLength)) << "\r\n";
  }
}

void CutPlanFile::finish() {
  file_.commit();
}

}  // namespace kvm::workshop
