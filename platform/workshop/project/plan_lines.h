#pragma once

#include <string>

#include "platform/dxf/plan_reader.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// Whether a row takes its lines from the plan's layers.
bool needsPlan(const Project& project);

// A flashing line as the component takes it: an arc or a bulge as a straight line of its length
// from its start towards its end.
PlanLine onPlan(const dxf::FlashingLine& line);

// Reads the project's plan and gives every row that names layers the flashing lines on
// them, in the plan's order. `units` (mm, cm, m, in, ft) overrides the plan's own; empty
// keeps them. An arc or a bulge goes to the component as a straight line of its length from
// its start towards its end. Throws dxf::PlanError for a plan that cannot be read and
// ProjectError for a layer the plan lacks or a row with more lines than a flashing holds.
// What the reader noted, and units that do not fit a building, go to the project's planNotes.
dxf::PlanTakeoff takeLinesFromPlan(Project& project, const std::string& units);

}  // namespace kvm::workshop
