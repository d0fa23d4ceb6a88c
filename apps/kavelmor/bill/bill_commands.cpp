#include "apps/kavelmor/bill/bill_commands.h"

#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

#include "apps/kavelmor/bill/bill_outputs.h"
#include "apps/kavelmor/bill/drawing_export.h"
#include "apps/kavelmor/bill/sample_plan.h"
#include "apps/kavelmor/bill/sample_project.h"
#include "apps/kavelmor/bill/session_home.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/cairo/cairo_render.h"
#include "platform/sim/companion/bill_job.h"
#include "platform/sim/companion/bill_request.h"
#include "platform/sim/companion/plan_lines.h"
#include "storage/database_file.h"
#include "storage/program_directory.h"

namespace kvm::cli {

namespace {

CalendarDate localToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::optional<std::filesystem::path> optionalPath(const std::string& text) {
  return text.empty() ? std::nullopt : std::optional<std::filesystem::path>(text);
}

std::size_t lineCount(const companion::Project& project) {
  std::size_t lines = 0;
  for (const companion::ProjectFlashing& flashing : project.flashings) {
    lines += flashing.lines.size();
  }
  return lines;
}

void useDatabase(const std::filesystem::path& database, const std::filesystem::path& home) {
  const std::filesystem::path target = databasePath(programDirectoryUnder(home));
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(database, target, std::filesystem::copy_options::overwrite_existing);
}

// The rows that name layers get their lines from the plan, before anything is written.
void takeLinesFromPlan(companion::Project& project, const BillRequest& request,
                       const PlanSource& source, std::ostream& progress) {
  if (!source.plan.empty()) {
    project.plan = source.plan;
  }
  if (!companion::needsPlan(project)) {
    return;
  }
  if (project.plan.empty()) {
    throw companion::ProjectError(request.project +
                                  ": rows take their lines from layers, but no plan is named: "
                                  "give --plan PLAN.dxf or \"plan\" in the project file");
  }
  const dxf::PlanTakeoff takeoff = companion::takeLinesFromPlan(project, source.units);
  progress << "Read the plan " << project.plan.string() << " (" << takeoff.version << ", units "
           << takeoff.units << ")";
  if (takeoff.skippedCount > 0) {
    progress << ", " << takeoff.skippedCount << " damaged entities skipped (kavelmor takeoff "
             << "lists them)";
  }
  progress << '\n';
}

int job(const BillRequest& request, const PlanSource& source, std::ostream& progress) {
  companion::Project project = companion::readProjectFile(request.project);
  takeLinesFromPlan(project, request, source, progress);
  progress << "Read the project " << request.project << ": " << project.flashings.size()
           << " current-use rows, " << lineCount(project) << " flashing lines\n";
  const std::filesystem::path folder = request.output;
  std::filesystem::create_directories(folder);

  const SessionHome home(optionalPath(request.home));
  if (!request.database.empty()) {
    useDatabase(request.database, home.path());
    progress << "Session starts from the database " << request.database << '\n';
  } else if (home.temporary()) {
    progress << "Session starts afresh: the settings dialog makes the built-in database\n";
  }

  DrawingExport drawing(folder / "bill.dxf", optionalPath(request.modelSpaceDump));
  BillOutputs outputs(folder, progress);
  companion::runBillJob(project, {home.path(), localToday()}, outputs, drawing);
  drawing.finish();
  progress << "Wrote the drawing to " << (folder / "bill.dxf").string() << " ("
           << drawing.entityCount() << " entities)\n";
  if (!request.modelSpaceDump.empty()) {
    progress << "Wrote the model-space texts to " << request.modelSpaceDump << '\n';
  }
  outputs.finish();
  return 0;
}

}  // namespace

int runBill(const BillRequest& request, std::ostream& progress, std::ostream& errors,
            const PlanSource& plan) {
  try {
    return job(request, plan, progress);
  } catch (const RuntimeError& error) {
    errors << "kavelmor bill: error " << error.number() << ": " << toUtf8(error.description())
           << '\n';
  } catch (const std::exception& error) {
    errors << "kavelmor bill: " << error.what() << '\n';
  }
  return 1;
}

int runDemo(const std::string& output, const std::string& modelSpaceDump, std::ostream& progress,
            std::ostream& errors) {
  const std::filesystem::path folder = output;
  const std::filesystem::path project = folder / "project.json";
  try {
    std::filesystem::create_directories(folder);
    std::ofstream out(project, std::ios::binary | std::ios::trunc);
    out << sampleProject();
    out.close();
    if (!out) {
      throw std::runtime_error(project.string() + ": cannot write");
    }
    writeSamplePlan(folder / "plan.dxf");
  } catch (const std::exception& error) {
    errors << "kavelmor demo: " << error.what() << '\n';
    return 1;
  }
  progress << "Wrote the sample project (a small workshop) to " << project.string()
           << " and its plan drawing to " << (folder / "plan.dxf").string() << '\n';
  return runBill({project.string(), folder.string(), "", "", modelSpaceDump}, progress, errors);
}

void addBillCommands(CLI::App& app, int& status) {
  auto request = std::make_shared<BillRequest>();
  auto plan = std::make_shared<PlanSource>();
  auto* bill = app.add_subcommand(
      "bill", "Draw the bill of a project: bill.dxf, cutlist.csv, bill.txt and profile pictures");
  bill->add_option("PROJECT", request->project, "The project file (JSON)")->required();
  bill->add_option("-o,--output", request->output, "The folder for the outputs")->required();
  bill->add_option("--home", request->home,
                   "Keep the session (program directory and settings) in this folder");
  bill->add_option("--db", request->database, "Start the session from this database file");
  bill->add_option("--modelspace", request->modelSpaceDump,
                   "Also write the drawing's texts as the model-space dump (JSON)");
  bill->add_option("--plan", plan->plan,
                   "The plan drawing (DXF) whose layers hold the flashing lines");
  bill->add_option("--units", plan->units, "The plan's units, over its own")
      ->check(CLI::IsMember({"mm", "cm", "m", "in", "ft"}));
  bill->callback([request, plan, &status] {
    status = runBill(*request, std::cout, std::cerr, *plan);
    cairo::releaseFontCaches();  // the command is the last thing the program does
  });

  auto demo = std::make_shared<BillRequest>();
  demo->output = "kavelmor-demo";
  auto* demoCommand =
      app.add_subcommand("demo", "The main job on a sample workshop in a fresh session");
  demoCommand->add_option("-o,--output", demo->output, "The folder for the outputs")
      ->capture_default_str();
  demoCommand->add_option("--modelspace", demo->modelSpaceDump,
                          "Also write the drawing's texts as the model-space dump (JSON)");
  demoCommand->callback([demo, &status] {
    status = runDemo(demo->output, demo->modelSpaceDump, std::cout, std::cerr);
    cairo::releaseFontCaches();
  });
}

}  // namespace kvm::cli
