#include "apps/kavelmor/bill/bill_commands.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "apps/kavelmor/bill/interruption.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "files/file_write_error.h"
#include "platform/cairo/cairo_render.h"
#include "platform/workshop/outputs/output_names.h"
#include "platform/workshop/outputs/output_stage.h"
#include "platform/workshop/workshop_job.h"

namespace kvm::cli {

namespace {

// What the user can do about a file the run could not write.
std::string whatToDo(const std::error_code& reason) {
  if (reason == std::errc::no_space_on_device || reason == std::errc::file_too_large) {
    return "free some space there, or name another folder";
  }
  if (reason == std::errc::permission_denied || reason == std::errc::operation_not_permitted ||
      reason == std::errc::read_only_file_system) {
    return "check that you may write there, or name another folder";
  }
  return "name another folder, or try again";
}

// The advice for a writer's own error, "FILE: cannot write: REASON", which has only the words.
std::string adviceFor(std::string_view message) {
  if (message.find(": cannot write") == std::string_view::npos) {
    return "";
  }
  for (const std::errc reason :
       {std::errc::no_space_on_device, std::errc::file_too_large, std::errc::permission_denied,
        std::errc::operation_not_permitted, std::errc::read_only_file_system}) {
    if (message.ends_with(std::make_error_code(reason).message())) {
      return "; " + whatToDo(std::make_error_code(reason));
    }
  }
  return "; " + whatToDo({});
}

// The bill's outputs, named by the help: every file of a run, pictures and list included.
std::string outputList() {
  std::string list;
  for (const std::string_view name : workshop::kBillOutputNames) {
    list += std::string(name) + ", ";
  }
  return list + "a profile picture per flashing (NN-NAME.png) and the list of them all (" +
         workshop::kOutputListName + ")";
}

}  // namespace

int runBill(const workshop::BillRequest& request, std::ostream& progress, std::ostream& errors) {
  try {
    const InterruptionGuard interruptions;
    workshop::runWorkshopJob(request, progress, [] { InterruptionGuard::check(); });
    return 0;
  } catch (const RuntimeError& error) {
    errors << "kavelmor bill: error " << error.number() << ": " << toUtf8(error.description())
           << '\n';
  } catch (const files::FileWriteError& error) {
    errors << "kavelmor bill: " << error.what() << "; " << whatToDo(error.reason()) << '\n';
  } catch (const std::filesystem::filesystem_error& error) {
    // Only a call no message of ours wraps; said without the library's words.
    errors << "kavelmor bill: " << error.path1().string() << ": " << error.code().message() << "; "
           << whatToDo(error.code()) << '\n';
  } catch (const std::exception& error) {
    errors << "kavelmor bill: " << error.what() << adviceFor(error.what()) << '\n';
  }
  return 1;
}

int runDemo(const std::string& output, const std::string& modelSpaceDump, std::ostream& progress,
            std::ostream& errors) {
  const workshop::BillRequest request = workshop::demoRequest(output, modelSpaceDump);
  progress << "The sample project (a small workshop) goes to " << request.project
           << ", its plan drawing to " << (std::filesystem::path(output) / "plan.dxf").string()
           << '\n';
  return runBill(request, progress, errors);
}

void addBillCommands(CLI::App& app, int& status) {
  auto request = std::make_shared<workshop::BillRequest>();
  auto* bill = app.add_subcommand(
      "bill", "Draw the bill of a project into the output folder: " + outputList());
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
                 "Write into an output folder that holds files of your own, beside them: they "
                 "are left alone, and one under an output's name stops the run");
  bill->add_option("--modelspace", request->modelSpaceDump,
                   "Also write the drawing's texts as the model-space dump (JSON)");
  bill->add_option("--plan", request->plan.plan,
                   "The plan drawing (DXF) whose layers hold the flashing lines");
  bill->add_option("--units", request->plan.units, "The plan's units, over its own")
      ->check(CLI::IsMember({"mm", "cm", "m", "in", "ft"}));
  bill->add_flag("--allow-overlaps", request->allowOverlaps,
                 "Bill lines drawn twice on a flashing's layers as drawn, with a warning");
  bill->add_option("--paper", request->paper, "The shop drawings' paper, landscape")
      ->check(CLI::IsMember({"A4", "A3", "letter"}))
      ->capture_default_str();
  bill->callback([request, &status] {
    status = runBill(*request, std::cout, std::cerr);
    cairo::releaseFontCaches();  // the command is the last thing the program does
  });

  auto demo = std::make_shared<workshop::BillRequest>();
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
