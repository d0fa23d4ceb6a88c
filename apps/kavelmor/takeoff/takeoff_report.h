#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "platform/dxf/plan_reader.h"

namespace kvm::cli {

// The take-off as one JSON object, the form scripts rely on (see the README).
nlohmann::ordered_json takeoffJson(const dxf::PlanTakeoff& takeoff);

// The take-off as a person reads it: a line per layer, then what was not taken.
void printTakeoff(const dxf::PlanTakeoff& takeoff, std::ostream& out);

}  // namespace kvm::cli
