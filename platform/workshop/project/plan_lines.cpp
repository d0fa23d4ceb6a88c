#include "platform/workshop/project/plan_lines.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>

#include "platform/dxf/name_decoder.h"
#include "platform/workshop/project/plan_checks.h"

namespace kvm::workshop {

namespace {

// Keeps the lines of the layers the rows name, at most one more than a flashing holds.
class WantedLayers : public dxf::FlashingLineSink {
 public:
  explicit WantedLayers(const Project& project) {
    for (const ProjectFlashing& row : project.flashings) {
      for (const std::string& layer : row.layers) {
        wanted_.emplace(dxf::foldedName(layer), 0);
      }
    }
  }

  void layerFound(std::size_t layer, const std::string& name) override {
    if (lines_.size() <= layer) {
      lines_.resize(layer + 1);
      kept_.resize(layer + 1, false);
    }
    kept_.at(layer) = wanted_.contains(dxf::foldedName(name));
  }

  void add(std::size_t layer, const dxf::FlashingLine& line) override {
    if (leftOutAsShort(line, layer, short_)) return;
    if (layer < kept_.size() && kept_[layer] && lines_[layer].size() <= kMaxLinesPerFlashing) {
      lines_[layer].push_back(line);
    }
  }

  [[nodiscard]] const std::vector<dxf::FlashingLine>& lines(std::size_t layer) const {
    return lines_.at(layer);
  }

  [[nodiscard]] const std::vector<ShortSegments>& shortSegments() const { return short_; }

 private:
  std::unordered_map<std::string, int> wanted_;
  std::vector<std::vector<dxf::FlashingLine>> lines_;
  std::vector<bool> kept_;
  std::vector<ShortSegments> short_;
};

}  // namespace

bool leftOutAsShort(const dxf::FlashingLine& line, std::size_t layer,
                    std::vector<ShortSegments>& layers) {
  if (!(line.length < kShortestFlashingLine)) return false;
  if (layers.size() <= layer) layers.resize(layer + 1);
  ++layers[layer].count;
  layers[layer].length += line.length;
  return true;
}

void countWithNoLength(dxf::PlanTakeoff& takeoff, std::span<const ShortSegments> layers) {
  for (std::size_t i = 0; i < layers.size() && i < takeoff.layers.size(); ++i) {
    dxf::LayerTakeoff& layer = takeoff.layers[i];
    const std::size_t count = std::min(layers[i].count, layer.lines);
    layer.lines -= count;
    layer.zeroLength += count;
    layer.length = std::max(0.0, layer.length - layers[i].length);
  }
}

PlanLine onPlan(const dxf::FlashingLine& line) {
  PlanLine result{line.start.x, line.start.y, line.end.x, line.end.y};
  const double dx = line.end.x - line.start.x;
  const double dy = line.end.y - line.start.y;
  const double across = std::hypot(dx, dy);
  if (std::abs(across - line.length) <= 1e-9 * std::max(1.0, line.length)) {
    return result;
  }
  // An arc, or a line that climbs: the component measures its lines by their ends.
  const double ux = across > 0 ? dx / across : 1.0;
  const double uy = across > 0 ? dy / across : 0.0;
  result.endX = line.start.x + ux * line.length;
  result.endY = line.start.y + uy * line.length;
  return result;
}

namespace {

std::string layerList(const dxf::PlanTakeoff& takeoff) {
  std::string list;
  for (const dxf::LayerTakeoff& layer : takeoff.layers) {
    list += (list.empty() ? "" : ", ") + layer.name;
  }
  return list;
}

}  // namespace

bool needsPlan(const Project& project) {
  return std::any_of(project.flashings.begin(), project.flashings.end(),
                     [](const ProjectFlashing& row) { return !row.layers.empty(); });
}

dxf::PlanTakeoff takeLinesFromPlan(Project& project, const std::string& units) {
  WantedLayers wanted(project);
  dxf::PlanTakeoff takeoff = dxf::readPlan(project.plan, {units}, &wanted);
  countWithNoLength(takeoff, wanted.shortSegments());
  std::unordered_map<std::string, std::size_t> byName;
  for (std::size_t i = 0; i < takeoff.layers.size(); ++i) {
    byName.emplace(dxf::foldedName(takeoff.layers[i].name), i);
  }
  for (ProjectFlashing& row : project.flashings) {
    for (const std::string& name : row.layers) {
      const auto found = byName.find(dxf::foldedName(name));
      if (found == byName.end()) {
        throw ProjectError(row.place + ": layer \"" + name + "\" is not in the plan " +
                               project.plan.string() + " (its layers: " + layerList(takeoff) + ")",
                           row.field, {name});
      }
      for (const dxf::FlashingLine& line : wanted.lines(found->second)) {
        if (row.lines.size() >= kMaxLinesPerFlashing) {
          throw ProjectError(row.place + ": its layers hold more than " +
                                 std::to_string(kMaxLinesPerFlashing) +
                                 " lines, more than the component keeps for one flashing",
                             row.field, row.layers);
        }
        row.lines.push_back(onPlan(line));
      }
      row.layerLineEnds.push_back(row.lines.size());
    }
    if (!row.layers.empty() && row.lines.empty()) {
      throw ProjectError(row.place + ": its layers hold no flashing lines in the plan " +
                             project.plan.string() + ": the row has nothing to cut",
                         row.field, row.layers);
    }
  }
  for (const dxf::PlanWarning& warning : takeoff.warnings) {
    project.planNotes.push_back({warning.layer, warning.at, warning.problem});
  }
  // A row's layers that lost segments: a repeated vertex, or a drawing's rounding.
  std::set<std::size_t> said;
  for (const ProjectFlashing& row : project.flashings) {
    for (const std::string& name : row.layers) {
      const std::size_t index = byName.at(dxf::foldedName(name));
      const dxf::LayerTakeoff& layer = takeoff.layers[index];
      if (layer.zeroLength == 0 || !said.insert(index).second) continue;
      project.planNotes.push_back(
          {layer.name, "the plan " + project.plan.string(),
           std::to_string(layer.zeroLength) + (layer.zeroLength == 1 ? " segment" : " segments") +
               " shorter than 1 mm left out (no length, or a drawing's rounding): no metal"});
    }
  }
  double longest = 0;
  for (const ProjectFlashing& row : project.flashings) {
    if (row.layers.empty()) continue;
    for (const PlanLine& line : row.lines) {
      longest = std::max(longest, lineLength(line));
    }
  }
  const double perUnit = dxf::millimetresPer(takeoff.units).value_or(1.0);
  // The header is read again only for a plan that looks drawn in other units.
  const auto problem = unlikelyUnits(longest, perUnit, takeoff.units, !units.empty());
  if (problem && !planDeclaresUnits(project.plan)) {
    project.planNotes.push_back({"", "the plan " + project.plan.string(), *problem});
  }
  return takeoff;
}

}  // namespace kvm::workshop
