#pragma once

#include <filesystem>

namespace kvm::workshop {

// Writes the demo's plan drawing: the sample workshop's flashing lines on layers named like
// their flashings (the window sides on "BJ-窗侧"), the gables as polylines and the windows as
// blocks, the outline on layer "0".
void writeSamplePlan(const std::filesystem::path& file);

}  // namespace kvm::workshop
