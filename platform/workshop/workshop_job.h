#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace kvm::workshop {

// Where the rows that name layers take their lines from.
struct PlanSource {
  std::string plan;   // empty: the one the project file names, if any
  std::string units;  // empty: the plan's own
};

// What a front end asks of one run of the workshop job.
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
  bool allowOverlaps = false;  // bill lines drawn twice as drawn, with a warning
  std::string paper = "A4";    // the shop drawings' paper: A4, A3 or letter, landscape
  PlanSource plan;
};

// The demo: the sample workshop's project and plan, in a fresh session on the built-in
// database, its outputs into `output`.
BillRequest demoRequest(const std::string& output, const std::string& modelSpaceDump);

// Runs the job: reads the project and its plan, runs the component on the simulated host and
// moves the complete set of outputs into the output folder. Progress goes to `progress` line by
// line. `checkpoint` is called between steps and stops the job by throwing. Throws on any
// failure, with the output folder left as it was.
void runWorkshopJob(const BillRequest& request, std::ostream& progress,
                    const std::function<void()>& checkpoint = {});

}  // namespace kvm::workshop
