#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "canvas/recording_canvas.h"

namespace kvm::canvas {

// "#RRGGBB", upper-case hex.
std::string colourText(Rgb colour);

// One operation as the host-script array: ["clear"], ["pen", 2, "#FFFFFF"],
// ["textout", 167, 105, "3330"] (the ANSI bytes in upper-case hex), ...
nlohmann::json opJson(const CanvasOp& operation);
nlohmann::json opsJson(const std::vector<CanvasOp>& operations);

// A picture box's dump: {"width": W, "height": H, "ops": [...]}.
nlohmann::json pictureJson(double width, double height, const std::vector<CanvasOp>& operations);

}  // namespace kvm::canvas
