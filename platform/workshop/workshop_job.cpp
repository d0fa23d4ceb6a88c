#include "platform/workshop/workshop_job.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/disk.h"
#include "files/file_write_error.h"
#include "files/staged_file.h"
#include "platform/workshop/database_source.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/job/session_home.h"
#include "platform/workshop/outputs/bill_outputs.h"
#include "platform/workshop/outputs/drawing_export.h"
#include "platform/workshop/outputs/output_names.h"
#include "platform/workshop/outputs/output_stage.h"
#include "platform/workshop/project/plan_lines.h"
#include "platform/workshop/project/project_file.h"
#include "platform/workshop/sample/sample_plan.h"
#include "platform/workshop/sample/sample_project.h"

namespace kvm::workshop {

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

std::size_t lineCount(const Project& project) {
  std::size_t lines = 0;
  for (const ProjectFlashing& flashing : project.flashings) {
    lines += flashing.lines.size();
  }
  return lines;
}

shop::Paper paperNamed(const std::string& name) {
  if (name == "A3") return shop::Paper::A3;
  if (name == "letter") return shop::Paper::Letter;
  return shop::Paper::A4;
}

// The demo's plan as the session drew it, to go among the outputs.
std::string readPlanBytes(const std::string& plan) {
  try {
    return disk::readWholeFile(plan);
  } catch (const std::system_error& error) {
    throw std::runtime_error(plan +
                             ": cannot read the sample plan back: " + error.code().message());
  }
}

Project readProject(const BillRequest& request) {
  return request.projectText.empty() ? readProjectFile(request.project)
                                     : parseProject(request.projectText, request.project);
}

// The rows that name layers get their lines from the plan, before anything is written.
void takeLinesFromPlan(Project& project, const BillRequest& request, const PlanSource& source,
                       const std::string& shownPlan, std::ostream& progress) {
  if (!source.plan.empty()) {
    project.plan = source.plan;
  }
  if (!needsPlan(project)) {
    return;
  }
  if (project.plan.empty()) {
    throw ProjectError(request.project +
                       ": rows take their lines from layers, but no plan is named: "
                       "give --plan PLAN.dxf or \"plan\" in the project file");
  }
  const dxf::PlanTakeoff takeoff = takeLinesFromPlan(project, source.units);
  progress << "Read the " << (shownPlan.empty() ? "plan " + project.plan.string() : shownPlan)
           << " (" << takeoff.version << ", units " << takeoff.units << ")";
  if (takeoff.skippedCount > 0) {
    progress << ", " << takeoff.skippedCount << " damaged entities skipped (kavelmor takeoff "
             << "lists them)";
  }
  progress << '\n';
}

}  // namespace

BillRequest demoRequest(const std::string& output, const std::string& modelSpaceDump) {
  BillRequest request;
  request.project = (std::filesystem::path(output) / "project.json").string();
  request.projectText = sampleProject();
  request.samplePlan = true;
  request.output = output;
  request.modelSpaceDump = modelSpaceDump;
  request.builtin = true;
  return request;
}

void runWorkshopJob(const BillRequest& request, std::ostream& progress,
                    const std::function<void()>& checkpoint) {
  const SessionHome home(optionalPath(request.home));
  const DatabaseSource source =
      databaseSource(request.builtin, request.database, home.path(), home.temporary());
  progress << "Database: " << source.description << '\n';
  Project project = readProject(request);
  PlanSource plan = request.plan;
  std::string shownPlan;
  if (request.samplePlan) {
    // The demo's plan is an output too: drawn in the session first, read from there, and
    // called by the name it gets among the outputs.
    plan.plan = (home.path() / "plan.dxf").string();
    writeSamplePlan(plan.plan);
    shownPlan = "sample plan";
  }
  takeLinesFromPlan(project, request, plan, shownPlan, progress);
  const std::size_t lines = lineCount(project);
  progress << "Read the project " << request.project << ": " << project.flashings.size()
           << (project.flashings.size() == 1 ? " current-use row, " : " current-use rows, ")
           << lines << (lines == 1 ? " flashing line\n" : " flashing lines\n");
  useDatabase(source, home.path());

  std::vector<std::string_view> fixedNames(kBillOutputNames.begin(), kBillOutputNames.end());
  if (request.samplePlan) {
    fixedNames.insert(fixedNames.end(), kDemoOutputNames.begin(), kDemoOutputNames.end());
  }
  OutputStage stage(request.output, request.force, fixedNames);
  const std::filesystem::path& folder = stage.path();
  std::ostringstream written;
  try {
    if (!request.projectText.empty()) {
      files::writeFileSafely(folder / "project.json", request.projectText);
    }
    if (request.samplePlan) {
      files::writeFileSafely(folder / "plan.dxf", readPlanBytes(plan.plan));
    }
    DrawingExport drawing(folder / "bill.dxf", optionalPath(request.modelSpaceDump));
    BillOutputs outputs(folder, stage.target(), progress,
                        {project.coil, project.prices, paperNamed(request.paper), checkpoint});
    runBillJob(project, {home.path(), localToday(), &progress, request.allowOverlaps}, outputs,
               drawing);
    drawing.finish();
    // What was written is said once all of it is in place.
    written << "Wrote the drawing to " << (stage.target() / "bill.dxf").string() << " ("
            << drawing.entityCount() << " entities)\n";
    if (!request.modelSpaceDump.empty()) {
      written << "Wrote the model-space texts to " << request.modelSpaceDump << '\n';
    }
    outputs.finish(written);
    if (checkpoint) {
      checkpoint();
    }
  } catch (const files::FileWriteError& error) {
    // Named where the user will look for it, not in the hidden folder it was written into.
    throw files::FileWriteError(stage.shown(error.file()), error.reason());
  } catch (const std::runtime_error& error) {
    // A writer's own error, its file named in the message.
    const std::string message = stage.shown(std::string(error.what()));
    if (message == error.what()) {
      throw;
    }
    throw std::runtime_error(message);
  }
  stage.commit();
  progress << written.str();
}

}  // namespace kvm::workshop
