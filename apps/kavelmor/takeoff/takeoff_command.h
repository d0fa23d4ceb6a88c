#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace kvm::cli {

// kavelmor takeoff PLAN.dxf [--json] [--units mm|cm|m|in|ft]
void addTakeoffCommand(CLI::App& app, int& status);

struct TakeoffRequest {
  std::string plan;
  std::string units;  // empty: the plan's own
  bool json = false;
};

// Prints what the plan holds per layer. Returns 0, or 1 after one line on `errors`.
int runTakeoff(const TakeoffRequest& request, std::ostream& out, std::ostream& errors);

}  // namespace kvm::cli
