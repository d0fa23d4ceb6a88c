#pragma once

#include <string_view>

namespace kvm::workshop {

// The demo's project: a small workshop, 30 m by 14.8 m with a ridged roof, in plan and in two
// elevations, with ridge, gable, corner and window flashings of the built-in database, whose
// lines are on the layers of the sample plan.
std::string_view sampleProject();

}  // namespace kvm::workshop
