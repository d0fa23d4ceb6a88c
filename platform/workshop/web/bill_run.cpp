#include "platform/workshop/web/bill_run.h"

#include <filesystem>
#include <ostream>
#include <streambuf>
#include <utility>

#include "base/runtime_error.h"
#include "base/text.h"
#include "files/file_write_error.h"
#include "platform/workshop/project/located_error.h"
#include "platform/workshop/web/output_files.h"
#include "platform/workshop/web/plan_upload.h"
#include "platform/workshop/workshop_job.h"

namespace kvm::workshop::web {

namespace {

// Hands on the job's progress a line at a time, as it is written.
class LineBuffer : public std::streambuf {
 public:
  explicit LineBuffer(std::function<void(const std::string&)> onLine)
      : onLine_(std::move(onLine)) {}
  void flushLine() {
    if (!line_.empty()) {
      onLine_(line_);
      line_.clear();
    }
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
      return traits_type::not_eof(c);
    }
    if (traits_type::to_char_type(c) == '\n') {
      onLine_(line_);
      line_.clear();
    } else {
      line_ += traits_type::to_char_type(c);
    }
    return c;
  }

 private:
  std::function<void(const std::string&)> onLine_;
  std::string line_;
};

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

BillOutcome runSessionBill(const WebSession& session, const std::string& projectText,
                           const BillOptions& options, const DatabaseChoice& database,
                           const std::function<void()>& checkpoint,
                           const std::function<void(const std::string&)>& onProgress) {
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
  BillOutcome outcome;
  // The server's folders are no concern of the user's: the files go by their names.
  LineBuffer buffer([&](const std::string& line) {
    std::string shown = withShownName(line, session.plan.string(), session.planName);
    shown = withShownName(shown, (session.outputs / "").string(), "");
    shown = withShownName(shown, session.outputs.string(), "the bill's folder");
    outcome.progress.push_back(shown);
    if (onProgress) {
      onProgress(shown);
    }
  });
  std::ostream progress(&buffer);
  try {
    runWorkshopJob(request, progress, checkpoint);
    outcome.done = true;
    outcome.files = listedOutputs(session.outputs);
  } catch (const std::exception& error) {
    outcome.error = withShownName(describe(error), session.plan.string(), session.planName);
    outcome.error = withShownName(outcome.error, session.outputs.string(), "the bill's folder");
    if (const auto* located = dynamic_cast<const LocatedError*>(&error)) {
      outcome.field = located->field();
      outcome.layers = located->layers();
    }
  }
  buffer.flushLine();
  return outcome;
}

}  // namespace kvm::workshop::web
