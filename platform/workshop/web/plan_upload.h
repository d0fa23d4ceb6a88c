#pragma once

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/dxf/plan_reader.h"

namespace kvm::workshop::web {

// The take-off in the form `kavelmor takeoff --json` prints, given by the front end that owns it.
using TakeoffJson = std::function<nlohmann::ordered_json(const dxf::PlanTakeoff&)>;

// The drawing holds at most this many lines in all; a larger plan is drawn thinned.
inline constexpr std::size_t kMaxDrawnLines = 200'000;

// A plan the user dropped, saved as `plan`, read as `takeoff` reads it (`units` empty: its own)
// under the name the user's file had: {"takeoff": …, "drawing": {"layers": [{"name",
// "lines": [x1, y1, x2, y2, …]}], "bounds": [left, bottom, right, top], "thinned": bool}}.
// Throws with the reader's message, the plan named as the user named it.
nlohmann::ordered_json readUploadedPlan(const std::filesystem::path& plan,
                                        const std::string& shownName, const std::string& units,
                                        const TakeoffJson& takeoffJson);

// `message` with every mention of the saved file put as the user's name for it.
std::string withShownName(std::string message, const std::string& saved, const std::string& shown);

}  // namespace kvm::workshop::web
