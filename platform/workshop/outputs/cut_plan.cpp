#include "platform/workshop/outputs/cut_plan.h"

#include <deque>
#include <map>
#include <tuple>

#include "base/text.h"
#include "platform/workshop/outputs/cut_list.h"

namespace kvm::workshop {

namespace {

// Where the pieces of one flashing and size lie: pattern, row and how many, in plan order.
struct Places {
  std::deque<std::tuple<int, int, long long>> left;

  // The next piece's pattern and row; none once the plan has no more of them.
  std::pair<int, int> next() {
    while (!left.empty() && std::get<2>(left.front()) <= 0) left.pop_front();
    if (left.empty()) return {0, 0};
    auto& [pattern, row, count] = left.front();
    --count;
    return {pattern, row};
  }
};

}  // namespace

CutPlanFile::CutPlanFile(const std::filesystem::path& file) : file_(file), out_(file_.stream()) {
  out_ << "\xEF\xBB\xBF"
       << "block,flashing,line,piece_length_mm,pattern,row\r\n";
}

void CutPlanFile::add(const FlashingResult& flashing) {
  Flashing kept{flashing.block,
                toUtf8(flashing.entry->name),
                toUtf8(flashing.entry->color),
                static_cast<double>(std::max(flashing.entry->developedWidth, 0)),
                {}};
  kept.pieces.reserve(flashing.plan.pieces.size());
  for (const PlannedPiece& piece : flashing.plan.pieces) {
    kept.pieces.emplace_back(piece.line, piece.length);
  }
  flashings_.push_back(std::move(kept));
}

void CutPlanFile::finish(std::span<const CoilOrder> orders) {
  // (colour, flashing, width, length) as the coil order names its pieces.
  std::map<std::tuple<std::string, std::string, double, double>, Places> places;
  for (const CoilOrder& order : orders) {
    int number = 0;
    for (const SheetPattern& pattern : order.plan.patterns) {
      ++number;
      int row = 0;
      for (const SheetRow& strip : pattern.rows) {
        ++row;
        for (const RowPieces& pieces : strip.pieces) {
          const CoilPiece& piece = order.group.pieces.at(pieces.piece);
          places[{order.group.colour, piece.flashing, piece.width, piece.length}].left.emplace_back(
              number, row, static_cast<long long>(pieces.count) * pattern.sheets);
        }
      }
    }
  }
  for (const Flashing& flashing : flashings_) {
    const std::string name = csvField(flashing.name);
    for (const auto& [line, length] : flashing.pieces) {
      out_ << flashing.block + 1 << ',' << name << ',' << line + 1 << ',' << length << ',';
      const auto found = places.find(
          {flashing.colour, flashing.name, flashing.width, static_cast<double>(length)});
      const auto [pattern, row] =
          found == places.end() ? std::pair<int, int>{0, 0} : found->second.next();
      if (pattern > 0)
        out_ << pattern << ',' << row;
      else
        out_ << ',';
      out_ << "\r\n";
    }
  }
  file_.commit();
}

}  // namespace kvm::workshop
