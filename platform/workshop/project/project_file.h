#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/project_settings.h"
#include "platform/workshop/project/json_locator.h"
#include "platform/workshop/project/located_error.h"

namespace kvm::workshop {

// A line on the plan, in millimetres.
struct PlanLine {
  double startX = 0;
  double startY = 0;
  double endX = 0;
  double endY = 0;
};

inline constexpr int kModeEqualPieces = 0;  // 按规格最少
inline constexpr int kModeFullPieces = 1;   // 按搭接最少
inline constexpr int kModeEconomic = 2;     // 按经济合理

// One row of the current-use list with the flashing lines drawn for it and the way its
// lines are cut.
struct ProjectFlashing {
  std::u16string currentUse;  // "library:flashing"
  int mode = kModeEqualPieces;
  std::vector<PlanLine> lines;
  // Layers of the plan the lines come from, where the row gives no lines: those it names,
  // or the one named like the flashing.
  std::vector<std::string> layers;  // UTF-8
  // Where each layer's lines end in `lines`, for naming the layer of a line.
  std::vector<std::size_t> layerLineEnds;
  std::string place;      // "p.json:9:5: currentUse[1]"
  std::string namePlace;  // "p.json:9:18: currentUse[1].flashing"
  std::string field;      // "currentUse[1]"
};

// Something of the plan a detailer would want to hear about before metal is cut.
struct PlanNote {
  std::string layer;  // UTF-8; empty where it concerns the whole plan
  std::string at;
  std::string problem;
};

// The colour-coated coil the strips are slit from (mm).
struct CoilStock {
  double width = 1250;
  double trim = 0;      // taken off the width before any strip
  double maxSheet = 0;  // the longest sheet cut from it; 0: the longest piece of the bill
};

// What the coil and the folding cost, where the project says so.
struct Prices {
  // Per m² of coil used, by "colour/thickness" as the bill names them ("天蓝色/0.5").
  std::map<std::string, double> sheet;             // UTF-8 keys
  std::map<std::string, std::string> sheetPlaces;  // "p.json:5:25: prices.sheet.天蓝色/0.5"
  double perBendPerMetre = 0;                      // folding: per bend and metre of run
  std::string currency = "CNY";                    // UTF-8
};

// What the companion needs to draw a bill: the project settings as typed into the settings
// dialog, where the bill goes, and the current-use list with the lines of each flashing.
struct Project {
  ProjectSettings settings;
  // The file it came from, and where each setting stands in it, for messages about a value.
  std::string source;
  TextPosition namePlace;
  TextPosition thicknessPlace;
  TextPosition classStepPlace;
  TextPosition textHeightPlace;
  double originX = 0;
  double originY = 0;
  std::vector<PlanLine> outline;  // drawn for orientation only
  std::vector<ProjectFlashing> flashings;
  std::filesystem::path plan;  // the plan drawing the layers are on; empty: none named
  CoilStock coil;
  std::optional<Prices> prices;     // none: the outputs show no costs
  std::vector<PlanNote> planNotes;  // what reading the plan's layers noted
};

// The component keeps at most this many lines per flashing.
inline constexpr std::size_t kMaxLinesPerFlashing = 8192;
// A line shorter than this (mm) is a drawing's rounding, not metal: cut, it would become a
// whole piece of the end extension. A plan's is left out as a segment of no length is, a
// project file's refused as one of no length is.
inline constexpr double kShortestFlashingLine = 1.0;
// Block numbers are 16-bit.
inline constexpr std::size_t kMaxFlashings = 32767;

// A project file that cannot be used; what() is one line naming the file, the line and
// column, and the field; field() and layers() give the field and the layers it concerns.
class ProjectError : public LocatedError {
 public:
  using LocatedError::LocatedError;
};

Project parseProject(std::string_view json, const std::string& sourceName);
Project readProjectFile(const std::filesystem::path& file);

}  // namespace kvm::workshop
