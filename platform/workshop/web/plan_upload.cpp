#include "platform/workshop/web/plan_upload.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/workshop/project/plan_checks.h"

namespace kvm::workshop::web {

namespace {

// A tenth of a millimetre is finer than any screen shows a plan.
double rounded(double value) {
  return std::round(value * 10) / 10;
}

nlohmann::ordered_json drawingJson(const dxf::PlanTakeoff& takeoff,
                                   const PlanLineCollector& collector) {
  std::size_t total = 0;
  for (const auto& lines : collector.layers()) {
    total += lines.size();
  }
  const std::size_t step =
      total > kMaxDrawnLines ? (total + kMaxDrawnLines - 1) / kMaxDrawnLines : 1;
  double left = std::numeric_limits<double>::max();
  double bottom = left;
  double right = std::numeric_limits<double>::lowest();
  double top = right;
  nlohmann::ordered_json layers = nlohmann::ordered_json::array();
  for (std::size_t layer = 0; layer < collector.layers().size(); ++layer) {
    const std::vector<PlanLine>& lines = collector.layers()[layer];
    nlohmann::ordered_json coordinates = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < lines.size(); i += step) {
      const PlanLine& line = lines[i];
      for (const double value : {line.startX, line.startY, line.endX, line.endY}) {
        coordinates.push_back(rounded(value));
      }
      left = std::min({left, line.startX, line.endX});
      right = std::max({right, line.startX, line.endX});
      bottom = std::min({bottom, line.startY, line.endY});
      top = std::max({top, line.startY, line.endY});
    }
    const std::string name = layer < takeoff.layers.size() ? takeoff.layers[layer].name : "";
    layers.push_back({{"name", name}, {"lines", std::move(coordinates)}});
  }
  nlohmann::ordered_json bounds = nlohmann::ordered_json::array();
  if (left <= right) {
    bounds = {rounded(left), rounded(bottom), rounded(right), rounded(top)};
  }
  return {{"layers", std::move(layers)}, {"bounds", bounds}, {"thinned", step > 1}};
}

}  // namespace

std::string withShownName(std::string message, const std::string& saved, const std::string& shown) {
  for (std::size_t at = message.find(saved); !saved.empty() && at != std::string::npos;
       at = message.find(saved, at + shown.size())) {
    message.replace(at, saved.size(), shown);
  }
  return message;
}

nlohmann::ordered_json readUploadedPlan(const std::filesystem::path& plan,
                                        const std::string& shownName, const std::string& units,
                                        const TakeoffJson& takeoffJson) {
  try {
    PlanLineCollector collector;
    dxf::PlanTakeoff takeoff = dxf::readPlan(plan, {units}, &collector);
    checkPlanLines(takeoff, collector, plan, !units.empty());
    takeoff.file = shownName;
    nlohmann::ordered_json result;
    result["takeoff"] = takeoffJson(takeoff);
    result["drawing"] = drawingJson(takeoff, collector);
    return result;
  } catch (const std::exception& error) {
    throw std::runtime_error(withShownName(error.what(), plan.string(), shownName));
  }
}

}  // namespace kvm::workshop::web
