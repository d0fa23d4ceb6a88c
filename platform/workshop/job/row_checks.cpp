#include "platform/workshop/job/row_checks.h"

#include <algorithm>
#include <set>

#include "base/text.h"
#include "model/current_use.h"
#include "platform/workshop/project/plan_checks.h"

namespace kvm::workshop {

namespace {

std::string rowName(const Project& project, std::size_t row) {
  const ProjectFlashing& flashing = project.flashings[row];
  const std::string name = toUtf8(flashing.currentUse);
  return flashing.place.empty() ? "current-use row " + std::to_string(row + 1) + " (" + name + ")"
                                : flashing.place + " (" + name + ")";
}

// The plan's layer a line of the row comes from; empty for one the project gives.
std::string lineLayer(const ProjectFlashing& row, std::size_t line) {
  for (std::size_t layer = 0; layer < row.layerLineEnds.size() && layer < row.layers.size();
       ++layer) {
    if (line < row.layerLineEnds[layer]) {
      return row.layers[layer];
    }
  }
  return {};
}

// "layer BJ-屋脊, the line from … to …" for a line of the plan, "lines[2], the line …" for
// one the project gives.
std::string lineName(const ProjectFlashing& row, std::size_t line) {
  const std::string layer = lineLayer(row, line);
  return (layer.empty() ? "lines[" + std::to_string(line) + "]" : "layer " + layer) + ", " +
         describeLine(row.lines[line]);
}

int overlapOf(const LibraryTable& table, const std::u16string& stored) {
  const CurrentUseParts parts = splitCurrentUseEntry(stored);
  for (const FlashingLibrary& library : table) {
    if (library.Name != parts.library) continue;
    for (const Flashing& flashing : library.Flashings) {
      if (flashing.Name == parts.flashing) return flashing.Overlap;
    }
  }
  return 0;
}

void overlappingLines(const Project& project, bool allowOverlaps, std::ostream& progress) {
  std::string refusal;
  std::string field;
  std::vector<std::string> layers;
  for (std::size_t index = 0; index < project.flashings.size(); ++index) {
    const ProjectFlashing& row = project.flashings[index];
    const std::vector<LineOverlap> overlaps = findOverlaps(row.lines);
    for (std::size_t i = 0; i < overlaps.size() && i < kMaxLinesNamed; ++i) {
      const std::string pair = rowName(project, index) + ": " + lineName(row, overlaps[i].first) +
                               " and " + lineName(row, overlaps[i].second) +
                               " lie on each other for " + readableLength(overlaps[i].length);
      if (allowOverlaps) {
        progress << "Warning: " << pair << ": billed twice, as --allow-overlaps asks\n";
      } else {
        refusal += "\n  " + pair;
        field = field.empty() ? row.field : field;
        for (const std::size_t line : {overlaps[i].first, overlaps[i].second}) {
          const std::string layer = lineLayer(row, line);
          if (!layer.empty() && std::find(layers.begin(), layers.end(), layer) == layers.end()) {
            layers.push_back(layer);
          }
        }
      }
    }
    if (overlaps.size() > kMaxLinesNamed) {
      const std::string more = rowName(project, index) + ": " +
                               std::to_string(overlaps.size() - kMaxLinesNamed) +
                               " more lines drawn twice";
      if (allowOverlaps) {
        progress << "Warning: " << more << '\n';
      } else {
        refusal += "\n  " + more;
      }
    }
  }
  if (!refusal.empty()) {
    throw OverlappingLinesError(
        "lines drawn twice, each a flashing the bill would install twice (remove one line of "
        "each pair, or give --allow-overlaps to bill them as drawn):" +
            refusal,
        field, layers);
  }
}

}  // namespace

void checkRowLines(const Project& project, const std::vector<std::u16string>& stored,
                   const LibraryTable& table, bool allowOverlaps, std::ostream& progress) {
  for (const PlanNote& note : project.planNotes) {
    progress << "Warning: " << (note.layer.empty() ? "" : "layer " + note.layer + ", ") << note.at
             << ": " << note.problem << '\n';
  }
  overlappingLines(project, allowOverlaps, progress);
  for (std::size_t index = 0; index < project.flashings.size(); ++index) {
    const ProjectFlashing& row = project.flashings[index];
    const int overlap = index < stored.size() ? overlapOf(table, stored[index]) : 0;
    std::size_t stubs = 0;
    std::size_t tooLong = 0;
    double longest = 0;
    for (std::size_t i = 0; i < row.lines.size(); ++i) {
      const double length = lineLength(row.lines[i]);
      longest = std::max(longest, length);
      tooLong += length > kLongestPlausibleLine ? 1U : 0U;
      if (length < overlap && ++stubs <= kMaxLinesNamed) {
        progress << "Warning: " << rowName(project, index) << ": " << lineName(row, i) << " is "
                 << readableLength(length) << " long, shorter than the flashing's overlap ("
                 << overlap << " mm): a stub? it is billed as a whole piece\n";
      }
    }
    if (stubs > kMaxLinesNamed) {
      progress << "Warning: " << rowName(project, index) << ": " << stubs - kMaxLinesNamed
               << " more lines shorter than the flashing's overlap\n";
    }
    if (tooLong > 0) {
      progress << "Warning: " << rowName(project, index) << ": "
               << tooLongProblem(tooLong, longest, "") << '\n';
    }
  }
}

void checkPriceKeys(const Project& project, const BillRecord& bill, std::ostream& progress) {
  if (!project.prices) return;
  std::set<std::string> keys;
  std::string list;
  for (const BillEntry& entry : bill.entries) {
    const std::string key = toUtf8(entry.color) + "/" + toUtf8(bill.header.plateThickness);
    if (keys.insert(key).second) {
      list += (list.empty() ? "" : ", ") + key;
    }
  }
  for (const auto& [key, price] : project.prices->sheet) {
    if (keys.contains(key)) continue;
    const auto place = project.prices->sheetPlaces.find(key);
    progress << "Warning: "
             << (place == project.prices->sheetPlaces.end() ? "prices.sheet." + key : place->second)
             << ": \"" << key << "\" names no colour and thickness of the bill, so it prices "
             << "nothing (the bill's: " << (list.empty() ? "none" : list) << ")\n";
  }
}

}  // namespace kvm::workshop
