#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/dxf/plan_reader.h"
#include "platform/workshop/project/plan_lines.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// Lines that run along each other for less than this (mm) only touch: drawn end to end.
inline constexpr double kOverlapTolerance = 0.5;

// Two lines of one flashing that lie on each other for `length` mm: a flashing installed twice.
struct LineOverlap {
  std::size_t first = 0;   // the earlier of the two, by index
  std::size_t second = 0;  // the later
  double length = 0;       // mm along both
};

// Every line that lies on an earlier one (the same segment either way round, or collinear and
// overlapping by more than the tolerance), each named once with the earlier line it overlaps
// most. Lines are grouped by the straight line they lie on and sorted along it, so a plan of a
// million lines is checked in O(n log n).
std::vector<LineOverlap> findOverlaps(std::span<const PlanLine> lines,
                                      double tolerance = kOverlapTolerance);

// "the line from (0, 7400) to (30000, 7400)", in millimetres.
std::string describeLine(const PlanLine& line);

// A length in millimetres as a person reads it: "1250 mm", "30.5 m", "30 km".
std::string readableLength(double millimetres);

double lineLength(const PlanLine& line);

// A building's flashing lines are longer than this many of the plan's units (mm)...
inline constexpr double kShortestPlausibleLongest = 100;
// ...and none is longer than this (mm).
inline constexpr double kLongestPlausibleLine = 300'000;

// What the plan's units look like, from its flashing lines; nothing where they fit a building.
// `longest` is the longest flashing line (mm), `millimetresPerUnit` the units the lines were
// read in, `unitsDeclared` whether the plan ($INSUNITS) or the user (--units) said which.
std::optional<std::string> unlikelyUnits(double longest, double millimetresPerUnit,
                                         const std::string& units, bool unitsDeclared);

// "N lines longer than 300 m (the longest …): …" for lines no building holds, read in `units`
// (empty: the units are not known here).
std::string tooLongProblem(std::size_t count, double longest, const std::string& units);

// Whether the plan's header gives its units ($INSUNITS other than 0, unitless). A plan that
// cannot be read is taken as giving them: its reader has already said what is wrong.
bool planDeclaresUnits(const std::filesystem::path& plan);

// Keeps every flashing line of a plan by layer, as the component would take it, for the checks
// of a take-off.
// Segments shorter than a millimetre are left out, as the bill leaves them out.
class PlanLineCollector : public dxf::FlashingLineSink {
 public:
  void add(std::size_t layer, const dxf::FlashingLine& line) override;
  [[nodiscard]] const std::vector<std::vector<PlanLine>>& layers() const { return layers_; }
  [[nodiscard]] const std::vector<ShortSegments>& shortSegments() const { return short_; }

 private:
  std::vector<std::vector<PlanLine>> layers_;
  std::vector<ShortSegments> short_;
};

// A take-off lists at most this many lines drawn twice per layer, then how many more.
inline constexpr std::size_t kMaxOverlapsListed = 100;

// Counts the segments shorter than a millimetre with those of no length, and adds to the
// take-off's warnings the lines drawn twice on a layer and units that do not fit
// a building. `unitsGiven`: the user named the plan's units.
void checkPlanLines(dxf::PlanTakeoff& takeoff, const PlanLineCollector& lines,
                    const std::filesystem::path& plan, bool unitsGiven);

}  // namespace kvm::workshop
