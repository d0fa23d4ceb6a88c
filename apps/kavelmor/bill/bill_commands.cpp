#include "apps/kavelmor/bill/bill_commands.h"

#include <iostream>
#include <memory>

#include "apps/kavelmor/bill/interruption.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/cairo/cairo_render.h"
#include "platform/workshop/workshop_job.h"

namespace kvm::cli {

int runBill(const workshop::BillRequest& request, std::ostream& progress, std::ostream& errors) {
  try {
    const InterruptionGuard interruptions;
    workshop::runWorkshopJob(request, progress, [] { InterruptionGuard::check(); });
    return 0;
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
  const workshop::BillRequest request = workshop::demoRequest(output, modelSpaceDump);
  progress << "The sample project (a small workshop) goes to " << request.project
           << ", its plan drawing to " << (std::filesystem::path(output) / "plan.dxf").string()
           << '\n';
  return runBill(request, progress, errors);
}

void addBillCommands(CLI::App& app, int& status) {
  auto request = std::make_shared<workshop::BillRequest>();
  auto* bill = app.add_subcommand("bill",
                                  "Draw the bill of a project: bill.dxf, bill.csv, cutlist.csv, "
                                  "coil.csv, shop.pdf, bill.txt and "
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
  bill->add_option("--plan", request->plan.plan,
                   "The plan drawing (DXF) whose layers hold the flashing lines");
  bill->add_option("--units", request->plan.units, "The plan's units, over its own")
      ->check(CLI::IsMember({"mm", "cm", "m", "in", "ft"}));
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
