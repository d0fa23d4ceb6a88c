#include "apps/kavelmor/takeoff/takeoff_command.h"

#include <iostream>
#include <memory>

#include "apps/kavelmor/takeoff/takeoff_report.h"
#include "platform/workshop/project/plan_checks.h"

namespace kvm::cli {

int runTakeoff(const TakeoffRequest& request, std::ostream& out, std::ostream& errors) {
  try {
    workshop::PlanLineCollector lines;
    dxf::PlanTakeoff takeoff = dxf::readPlan(request.plan, {request.units}, &lines);
    workshop::checkPlanLines(takeoff, lines, request.plan, !request.units.empty());
    if (request.json) {
      out << takeoffJson(takeoff).dump() << '\n';
    } else {
      printTakeoff(takeoff, out);
    }
    return 0;
  } catch (const std::exception& error) {
    errors << "kavelmor takeoff: " << error.what() << '\n';
    return 1;
  }
}

void addTakeoffCommand(CLI::App& app, int& status) {
  auto request = std::make_shared<TakeoffRequest>();
  auto* command = app.add_subcommand(
      "takeoff", "What a plan (DXF) holds per layer: entities, flashing lines, their length");
  command->add_option("PLAN", request->plan, "The plan drawing (DXF, ASCII or binary)")->required();
  command->add_flag("--json", request->json, "Print one JSON object");
  command->add_option("--units", request->units, "The plan's units, over its own")
      ->check(CLI::IsMember({"mm", "cm", "m", "in", "ft"}));
  command->callback([request, &status] { status = runTakeoff(*request, std::cout, std::cerr); });
}

}  // namespace kvm::cli
