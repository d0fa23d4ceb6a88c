#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/workshop/web/database_listing.h"
#include "platform/workshop/web/web_sessions.h"

namespace kvm::workshop::web {

// How the page asks for a bill besides the project: what `kavelmor bill` takes as options.
struct BillOptions {
  std::string units;  // the plan's, over its own; empty: its own
  bool allowOverlaps = false;
  std::string paper = "A4";
};

// What came of a bill: the job's progress lines, and either the files it wrote or the error,
// with the project's field ("project.textHeight", "currentUse[2]") and the plan's layers it
// concerns, as the job says them.
struct BillOutcome {
  bool done = false;
  std::vector<std::string> progress;
  std::vector<std::string> files;
  std::string error;
  std::string field;
  std::vector<std::string> layers;
};

// The name the project has in the job's messages, as the command line's project file.
inline constexpr const char* kProjectName = "project.json";

// Runs the workshop job, as `kavelmor bill` does, on the session's plan and the project file's
// text, into the session's output folder. Each progress line goes to `onProgress` as the job
// says it (also kept in the outcome); `checkpoint` stops the job by throwing.
BillOutcome runSessionBill(const WebSession& session, const std::string& projectText,
                           const BillOptions& options, const DatabaseChoice& database,
                           const std::function<void()>& checkpoint,
                           const std::function<void(const std::string&)>& onProgress = {});

}  // namespace kvm::workshop::web
