#include "platform/workshop/outputs/cut_list.h"

#include <algorithm>

#include "base/text.h"
#include "platform/workshop/outputs/piece_bill.h"

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

CutList::CutList(const std::filesystem::path& file, std::string thickness)
    : file_(file), out_(file_.stream()), thickness_(std::move(thickness)) {
  out_ << "\xEF\xBB\xBF"
       << "block,flashing,colour,thickness_mm,developed_width_mm,bends,piece_length_mm,pieces\r\n";
}

void CutList::add(const FlashingResult& flashing, int bends) {
  const BillEntry& entry = *flashing.entry;
  const std::string colour = toUtf8(entry.color);
  auto total = std::find_if(totals_.begin(), totals_.end(),
                            [&colour](const Total& each) { return each.colour == colour; });
  if (total == totals_.end()) {
    total = totals_.insert(totals_.end(), Total{colour});
  }
  const std::string columns = std::to_string(flashing.block + 1) + ',' +
                              csvField(toUtf8(entry.name)) + ',' + csvField(colour) + ',' +
                              csvField(thickness_) + ',' + std::to_string(entry.developedWidth) +
                              ',' + std::to_string(bends) + ',';
  for (const auto& [length, pieces] : piecesByLength(flashing.plan)) {
    out_ << columns << length << ',' << pieces << "\r\n";
    total->pieces += pieces;
  }
}

void CutList::finish(const std::u16string& project, const std::u16string& date) {
  const std::string name = csvField(toUtf8(project) + " " + toUtf8(date));
  for (const Total& total : totals_) {
    out_ << "total," << name << ',' << csvField(total.colour) << ',' << csvField(thickness_)
         << ",,,," << total.pieces << "\r\n";
  }
  file_.commit();
}

}  // namespace kvm::workshop
