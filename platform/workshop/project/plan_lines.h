#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/dxf/plan_reader.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// Whether a row takes its lines from the plan's layers.
bool needsPlan(const Project& project);

// A flashing line as the component takes it: an arc or a bulge as a straight line of its length
// from its start towards its end.
PlanLine onPlan(const dxf::FlashingLine& line);

// The segments of one layer left out for being shorter than kShortestFlashingLine.
struct ShortSegments {
  std::size_t count = 0;
  double length = 0;  // mm
};

// Whether `line` is too short to be a flashing line; such a line is counted in `layers`.
bool leftOutAsShort(const dxf::FlashingLine& line, std::size_t layer,
                    std::vector<ShortSegments>& layers);

// Takes the short segments off the take-off's flashing lines and counts them with the
// segments of no length, so that both are said the same way.
void countWithNoLength(dxf::PlanTakeoff& takeoff, std::span<const ShortSegments> layers);

// Reads the project's plan and gives every row that names layers the flashing lines on
// them, in the plan's order. `units` (mm, cm, m, in, ft) overrides the plan's own; empty
// keeps them. An arc or a bulge goes to the component as a straight line of its length from
// its start towards its end. Throws dxf::PlanError for a plan that cannot be read and
// ProjectError for a layer the plan lacks or a row with more lines than a flashing holds.
// What the reader noted, the layers' segments of no length or shorter than a millimetre (left
// out), and units that do not fit a building, go to the project's planNotes.
dxf::PlanTakeoff takeLinesFromPlan(Project& project, const std::string& units);

}  // namespace kvm::workshop
