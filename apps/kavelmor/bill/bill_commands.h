#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace kvm::cli {

// kavelmor bill PROJECT.json -o OUT_DIR [--plan PLAN.dxf] [--units U] [--home DIR] [--db FILE]
//                                     [--modelspace FILE] [--paper A4|A3|letter]
// kavelmor demo [-o OUT_DIR]
void addBillCommands(CLI::App& app, int& status);

struct BillRequest {
  std::string project;         // the project file
  std::string output;          // the folder the outputs go to
  std::string home;            // empty: a fresh temporary session
  std::string database;        // empty: the user's database (or the session's, with a home)
  std::string modelSpaceDump;  // empty: none
  bool builtin = false;        // start from the built-in database
  bool force = false;          // write beside files of the user's in the output folder
  // The project itself, when it does not come from the file `project` (which then only names
  // it); it is written to the outputs as project.json.
  std::string projectText;
  // The demo's: its plan drawing is written to the outputs as plan.dxf and read from there.
  bool samplePlan = false;
  std::string paper = "A4";  // the shop drawings' paper: A4, A3 or letter, landscape
};

// Where the rows that name layers take their lines from.
struct PlanSource {
  std::string plan;   // empty: the one the project file names, if any
  std::string units;  // empty: the plan's own
};

// Runs the main job on a project file. Returns 0, or 1 after one line on `errors`.
int runBill(const BillRequest& request, std::ostream& progress, std::ostream& errors,
            const PlanSource& plan = {});

// Writes the sample project into the folder and runs the main job on it in a fresh session.
int runDemo(const std::string& output, const std::string& modelSpaceDump, std::ostream& progress,
            std::ostream& errors);

}  // namespace kvm::cli
