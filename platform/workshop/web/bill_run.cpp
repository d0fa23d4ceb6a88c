#include "platform/workshop/web/bill_run.h"

#include <filesystem>
#include <regex>
#include <sstream>

#include "base/runtime_error.h"
#include "base/text.h"
#include "files/file_write_error.h"
#include "platform/workshop/web/output_files.h"
#include "platform/workshop/web/plan_upload.h"
#include "platform/workshop/workshop_job.h"

namespace kvm::workshop::web {

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    result.push_back(line);
  }
  return result;
}

std::string describe(const std::exception& error) {
  if (const auto* refused = dynamic_cast<const RuntimeError*>(&error)) {
    return "error " + std::to_string(refused->number()) + ": " + toUtf8(refused->description());
  }
  if (const auto* failed = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
    return failed->path1().string() + ": " + failed->code().message();
  }
  return error.what();
}

}  // namespace

void locateError(const std::string& message, std::string& field, std::string& layer) {
  // "project.json:2:99: project.textHeight: …", "project.json:26:5: currentUse[4]: layer …"
  static const std::regex kField(R"(^[^:\n]*:\d+:\d+: ([A-Za-z][A-Za-z0-9_.\[\]]*):)");
  static const std::regex kLayer(R"re(layer "([^"]*)")re");
  std::smatch match;
  if (std::regex_search(message, match, kField)) {
    field = match[1].str();
  }
  if (std::regex_search(message, match, kLayer)) {
    layer = match[1].str();
  }
}

BillOutcome runSessionBill(const WebSession& session, const std::string& projectText,
                           const BillOptions& options, const DatabaseChoice& database,
                           const std::function<void()>& checkpoint) {
  BillRequest request;
  request.project = kProjectName;
  request.projectText = projectText;
  request.output = session.outputs.string();
  request.database = database.file;
  request.builtin = database.builtin;
  request.allowOverlaps = options.allowOverlaps;
  request.paper = options.paper;
  request.plan.plan = session.plan.string();
  request.plan.units = options.units;
  std::ostringstream progress;
  BillOutcome outcome;
  try {
    runWorkshopJob(request, progress, checkpoint);
    outcome.done = true;
    outcome.files = listedOutputs(session.outputs);
  } catch (const std::exception& error) {
    outcome.error = withShownName(describe(error), session.plan.string(), session.planName);
    outcome.error = withShownName(outcome.error, session.outputs.string(), "the bill's folder");
    locateError(outcome.error, outcome.field, outcome.layer);
  }
  // The server's folders are no concern of the user's: the files go by their names.
  std::string shown = withShownName(progress.str(), session.plan.string(), session.planName);
  shown = withShownName(shown, (session.outputs / "").string(), "");
  outcome.progress = lines(withShownName(shown, session.outputs.string(), "the bill's folder"));
  return outcome;
}

}  // namespace kvm::workshop::web
