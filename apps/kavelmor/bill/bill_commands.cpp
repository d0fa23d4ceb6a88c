#include "apps/kavelmor/bill/bill_commands.h"

#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "apps/kavelmor/bill/bill_outputs.h"
#include "apps/kavelmor/bill/drawing_export.h"
#include "apps/kavelmor/bill/interruption.h"
#include "apps/kavelmor/bill/output_stage.h"
#include "apps/kavelmor/bill/sample_plan.h"
#include "apps/kavelmor/bill/sample_project.h"
#include "apps/kavelmor/bill/session_home.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "files/staged_file.h"
#include "platform/cairo/cairo_render.h"
#include "platform/sim/companion/bill_job.h"
#include "platform/sim/companion/bill_request.h"
#include "platform/sim/companion/plan_lines.h"
#include "storage/attribute_rules.h"
#include "storage/builtin_database.h"
#include "storage/database_codec.h"
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

// Where the session's database comes from, and what the first progress line calls it.
struct DatabaseSource {
  std::optional<std::filesystem::path> file;  // none: the built-in database
  std::string description;
};

std::string describe(const DatabaseFormatError& error) {
  return "error " + std::to_string(error.number()) + " (" + toUtf8(error.description()) +
         ") at byte " + std::to_string(error.offset()) + ": " + error.location() + ": " +
         error.detail();
}

DatabaseSource databaseSource(const BillRequest& request, const SessionHome& home) {
  if (request.builtin) {
    return {std::nullopt, "the built-in database"};
  }
  if (!request.database.empty()) {
    return {request.database, request.database};
  }
  const std::filesystem::path kept = databasePath(programDirectoryUnder(home.path()));
  if (!home.temporary() && std::filesystem::exists(kept)) {
    return {kept, kept.string() + " (the session's own)"};
  }
  const std::filesystem::path user =
      databasePath(programDirectoryUnder(defaultProgramDirectoryRoot()));
  if (std::filesystem::exists(user)) {
    return {user, user.string()};
  }
  return {std::nullopt, "the built-in database (there is no " + user.string() + " yet)"};
}

// Puts the chosen database where the session's settings dialog loads it, after reading it
// through: a file that cannot be used is reported by the name the user knows.
void useDatabase(const DatabaseSource& source, const std::filesystem::path& home) {
  const std::filesystem::path target = databasePath(programDirectoryUnder(home));
  std::filesystem::create_directories(target.parent_path());
  if (!source.file) {
    // A fresh session gets it from the settings dialog, as a first start would.
    if (std::filesystem::exists(target)) {
      files::writeFileSafely(target, builtinDatabaseBytes());
    }
    return;
  }
  LibraryTable table;
  try {
    table = readDatabaseFile(*source.file);
  } catch (const DatabaseFormatError& error) {
    throw std::runtime_error(source.file->string() + ": not a usable database: " + describe(error));
  } catch (const RuntimeError& error) {
    throw std::runtime_error(source.file->string() + ": " + toUtf8(error.description()));
  }
  const std::vector<std::string> faults = attributeFaults(table);
  if (!faults.empty()) {
    std::string list;
    for (const std::string& fault : faults) {
      list += "\n  " + fault;
    }
    throw std::runtime_error(source.file->string() +
                             ": values the settings dialog would not save (check it with "
                             "`kavelmor db check`):" +
                             list);
  }
  if (std::filesystem::exists(target) && std::filesystem::equivalent(*source.file, target)) {
    return;  // the session's own
  }
  std::filesystem::copy_file(*source.file, target,
                             std::filesystem::copy_options::overwrite_existing);
}

shop::Paper paperNamed(const std::string& name) {
  if (name == "A3") return shop::Paper::A3;
  if (name == "letter") return shop::Paper::Letter;
  return shop::Paper::A4;
}

companion::Project readProject(const BillRequest& request) {
  return request.projectText.empty()
             ? companion::readProjectFile(request.project)
             : companion::parseProject(request.projectText, request.project);
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

int job(const BillRequest& request, const PlanSource& planSource, std::ostream& progress) {
  const InterruptionGuard interruptions;
  const SessionHome home(optionalPath(request.home));
  const DatabaseSource source = databaseSource(request, home);
  progress << "Database: " << source.description << '\n';
  companion::Project project = readProject(request);
  PlanSource plan = planSource;
  if (request.samplePlan) {
    // The demo's plan is an output too: drawn in the session first, read from there.
    plan.plan = (home.path() / "plan.dxf").string();
    writeSamplePlan(plan.plan);
  }
  takeLinesFromPlan(project, request, plan, progress);
  progress << "Read the project " << request.project << ": " << project.flashings.size()
           << " current-use rows, " << lineCount(project) << " flashing lines\n";
  useDatabase(source, home.path());

  OutputStage stage(request.output, request.force);
  const std::filesystem::path& folder = stage.path();
  if (!request.projectText.empty()) {
    files::writeFileSafely(folder / "project.json", request.projectText);
  }
  if (request.samplePlan) {
    std::filesystem::copy_file(plan.plan, folder / "plan.dxf");
  }
  DrawingExport drawing(folder / "bill.dxf", optionalPath(request.modelSpaceDump));
  BillOutputs outputs(folder, stage.target(), progress,
                      {project.coil, project.prices, paperNamed(request.paper)});
  companion::runBillJob(project, {home.path(), localToday()}, outputs, drawing);
  drawing.finish();
  // What was written is said once all of it is in place.
  std::ostringstream written;
  written << "Wrote the drawing to " << (stage.target() / "bill.dxf").string() << " ("
          << drawing.entityCount() << " entities)\n";
  if (!request.modelSpaceDump.empty()) {
    written << "Wrote the model-space texts to " << request.modelSpaceDump << '\n';
  }
  outputs.finish(written);
  InterruptionGuard::check();
  stage.commit();
  progress << written.str();
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
  BillRequest request;
  request.project = (std::filesystem::path(output) / "project.json").string();
  request.projectText = sampleProject();
  request.samplePlan = true;
  request.output = output;
  request.modelSpaceDump = modelSpaceDump;
  request.builtin = true;
  progress << "The sample project (a small workshop) goes to " << request.project
           << ", its plan drawing to " << (std::filesystem::path(output) / "plan.dxf").string()
           << '\n';
  return runBill(request, progress, errors);
}

void addBillCommands(CLI::App& app, int& status) {
  auto request = std::make_shared<BillRequest>();
  auto plan = std::make_shared<PlanSource>();
  auto* bill = app.add_subcommand(
      "bill",
      "Draw the bill of a project: bill.dxf, cutlist.csv, coil.csv, shop.pdf, bill.txt and "
      "profile pictures");
  bill->add_option("PROJECT", request->project, "The project file (JSON)")->required();
  bill->add_option("-o,--output", request->output, "The folder for the outputs")->required();
  bill->add_option("--home", request->home,
                   "Keep the session (program directory and settings) in this folder");
  auto* db = bill->add_option("--db", request->database,
                              "Start the session from this database file (default: the one "
                              "`kavelmor db` acts on)");
  bill->add_flag("--builtin", request->builtin, "Start the session from the built-in database")
      ->excludes(db);
  bill->add_flag("--force", request->force,
                 "Write into an output folder that holds files of your own (left alone)");
  bill->add_option("--modelspace", request->modelSpaceDump,
                   "Also write the drawing's texts as the model-space dump (JSON)");
  bill->add_option("--plan", plan->plan,
                   "The plan drawing (DXF) whose layers hold the flashing lines");
  bill->add_option("--units", plan->units, "The plan's units, over its own")
      ->check(CLI::IsMember({"mm", "cm", "m", "in", "ft"}));
  bill->add_option("--paper", request->paper, "The shop drawings' paper, landscape")
      ->check(CLI::IsMember({"A4", "A3", "letter"}))
      ->capture_default_str();
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
