#include "apps/kavelmor/takeoff/takeoff_report.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace kvm::cli {

namespace {

std::string millimetres(double length) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%.1f", length);
  return text.data();
}

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

bool tooManyLines(const dxf::LayerTakeoff& layer) {
  return layer.lines > dxf::kMaxLinesOfOneFlashing;
}

}  // namespace

nlohmann::ordered_json takeoffJson(const dxf::PlanTakeoff& takeoff) {
  using nlohmann::ordered_json;
  ordered_json report;
  report["file"] = takeoff.file;
  report["version"] = takeoff.version;
  report["codepage"] = takeoff.codepage;
  report["units"] = takeoff.units;
  report["binary"] = takeoff.binary;
  ordered_json layers = ordered_json::array();
  for (const dxf::LayerTakeoff& layer : takeoff.layers) {
    ordered_json entities = ordered_json::object();
    for (std::size_t i = 0; i < dxf::kPlanEntityNames.size(); ++i) {
      if (layer.entities.at(i) > 0) {
        entities[std::string(dxf::kPlanEntityNames.at(i))] = layer.entities.at(i);
      }
    }
    ordered_json entry{{"name", layer.name},
                       {"entities", entities},
                       {"lines", layer.lines},
                       {"length", layer.length},
                       {"zeroLength", layer.zeroLength},
                       {"frozen", layer.frozen},
                       {"off", layer.off},
                       {"tooManyLines", tooManyLines(layer)}};
    layers.push_back(std::move(entry));
  }
  report["layers"] = std::move(layers);
  report["ignored"] = ordered_json::object();
  for (const auto& [type, count] : takeoff.ignored) {
    report["ignored"][type] = count;
  }
  report["paperSpace"] = takeoff.paperSpace;
  report["skipped"] = ordered_json::array();
  for (const dxf::SkippedEntity& skipped : takeoff.skipped) {
    report["skipped"].push_back({{"at", skipped.at}, {"problem", skipped.problem}});
  }
  report["skippedCount"] = takeoff.skippedCount;
  report["warnings"] = ordered_json::array();
  for (const dxf::PlanWarning& warning : takeoff.warnings) {
    report["warnings"].push_back(
        {{"layer", warning.layer}, {"at", warning.at}, {"problem", warning.problem}});
  }
  return report;
}

void printTakeoff(const dxf::PlanTakeoff& takeoff, std::ostream& out) {
  out << "Plan " << takeoff.file << ": " << takeoff.version
      << (takeoff.binary ? " (binary)" : " (ASCII)") << ", code page "
      << (takeoff.codepage.empty() ? "not given" : takeoff.codepage) << ", units " << takeoff.units
      << '\n';
  for (const dxf::LayerTakeoff& layer : takeoff.layers) {
    out << "  " << layer.name << ": " << counted(layer.lines, "flashing line", "flashing lines")
        << ", " << millimetres(layer.length) << " mm";
    std::string entities;
    for (std::size_t i = 0; i < dxf::kPlanEntityNames.size(); ++i) {
      if (layer.entities.at(i) > 0) {
        entities += (entities.empty() ? "" : ", ") + std::string(dxf::kPlanEntityNames.at(i)) +
                    " " + std::to_string(layer.entities.at(i));
      }
    }
    if (!entities.empty()) {
      out << " (" << entities << ")";
    }
    if (layer.zeroLength > 0) {
      out << "; " << counted(layer.zeroLength, "segment", "segments")
          << " shorter than 1 mm left out";
    }
    if (layer.frozen || layer.off) {
      out << "; layer " << (layer.frozen ? "frozen" : "off") << ", taken all the same";
    }
    if (tooManyLines(layer)) {
      out << "; MORE THAN " << dxf::kMaxLinesOfOneFlashing
          << " LINES, more than one flashing holds";
    }
    out << '\n';
  }
  if (!takeoff.ignored.empty()) {
    out << "Ignored (no flashing lines):";
    for (const auto& [type, count] : takeoff.ignored) {
      out << ' ' << type << ' ' << count;
    }
    out << '\n';
  }
  if (takeoff.paperSpace > 0) {
    out << "Paper space: " << counted(takeoff.paperSpace, "entity", "entities") << ", not taken\n";
  }
  if (takeoff.skippedCount > 0) {
    out << "Skipped " << counted(takeoff.skippedCount, "damaged entity", "damaged entities")
        << ":\n";
    for (const dxf::SkippedEntity& skipped : takeoff.skipped) {
      out << "  " << skipped.at << ": " << skipped.problem << '\n';
    }
  }
  for (const dxf::PlanWarning& warning : takeoff.warnings) {
    out << "Note: " << (warning.layer.empty() ? "" : "layer " + warning.layer + ", ") << warning.at
        << ": " << warning.problem << '\n';
  }
}

}  // namespace kvm::cli
