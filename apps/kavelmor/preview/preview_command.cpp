#include "apps/kavelmor/preview/preview_command.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <system_error>

#include "base/printable.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/cairo/cairo_render.h"
#include "preview/profile_preview.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"
#include "storage/database_problem.h"
#include "storage/program_directory.h"
#include "ui/ui.h"

namespace kvm::cli {
namespace {

// The desktop of a command line: message boxes become lines on the error stream.
class MessageLines final : public Ui {
 public:
  explicit MessageLines(std::ostream& out) : out_(out) {}

  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& /*title*/,
                       MsgIcon /*icon*/, MsgButtons /*buttons*/) override {
    out_ << toUtf8(text) << '\n';
    ++shown_;
    return MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t /*afterWindow*/, std::u16string_view /*title*/) override {
    return false;
  }
  CalendarDate today() override { return {}; }

  [[nodiscard]] int shown() const noexcept { return shown_; }

 private:
  std::ostream& out_;
  int shown_ = 0;
};

// The built-in third library carries a line break at the end of its name; a name typed on
// the command line matches it without one.
bool sameName(const std::u16string& stored, const std::u16string& wanted) {
  if (stored == wanted) {
    return true;
  }
  std::u16string_view trimmed = stored;
  while (!trimmed.empty() && (trimmed.back() == u'\n' || trimmed.back() == u'\r')) {
    trimmed.remove_suffix(1);
  }
  return trimmed == wanted;
}

std::string nameList(const auto& records) {
  std::string out;
  for (const auto& record : records) {
    if (!out.empty()) {
      out += ", ";
    }
    std::u16string_view name = record.Name;
    while (!name.empty() && (name.back() == u'\n' || name.back() == u'\r')) {
      name.remove_suffix(1);
    }
    out += toUtf8(name);
  }
  return out;
}

LibraryTable loadTable(const PreviewRequest& request, std::ostream& messages) {
  if (!request.database.empty()) {
    return readDatabaseForCommand(request.database);
  }
  const std::filesystem::path file =
      databasePath(programDirectoryUnder(defaultProgramDirectoryRoot()));
  std::error_code ignored;
  if (!std::filesystem::exists(file, ignored)) {
    // The dialog would make this very file from the built-in database on its first load.
    messages << "no database at " << file.string() << "; using the built-in database\n";
    return builtinLibraryTable();
  }
  return readDatabaseForCommand(file);
}

int drawAndWrite(const PreviewRequest& request, cairo::ImageFormat format, std::ostream& messages) {
  const LibraryTable table = loadTable(request, messages);
  const std::u16string libraryName = fromUtf8(request.library);
  const std::u16string flashingName = fromUtf8(request.flashing);

  const FlashingLibrary* library = nullptr;
  for (const FlashingLibrary& each : table) {
    if (!each.Name.empty() && sameName(each.Name, libraryName)) {
      library = &each;
      break;
    }
  }
  if (library == nullptr) {
    messages << "no library named \"" << request.library
             << "\"; the libraries are: " << printable(nameList(table)) << '\n';
    return 1;
  }
  const Flashing* flashing = nullptr;
  for (const Flashing& each : library->Flashings) {
    if (sameName(each.Name, flashingName)) {
      flashing = &each;
      break;
    }
  }
  if (flashing == nullptr) {
    messages << "no flashing named \"" << request.flashing << "\" in \"" << request.library
             << "\"; its flashings are: " << printable(nameList(library->Flashings)) << '\n';
    return 1;
  }

  preview::RecordingPreviewArea area;
  MessageLines ui(messages);
  preview::showFlashingPreview(*flashing, area, ui);
  if (!flashing->hasProfile()) {
    messages << "\"" << request.flashing << "\" has no profile; the picture is empty\n";
  }
  // Written whole or not at all: a drawing that fails leaves no half picture, nor spoils the
  // one an earlier run made.
  cairo::renderToFile(area.recording().ops(), static_cast<int>(area.innerWidth()),
                      static_cast<int>(area.innerHeight()), format, request.output);
  return ui.shown() == 0 ? 0 : 1;
}

}  // namespace

int runPreview(const PreviewRequest& request, std::ostream& messages) {
  const std::optional<cairo::ImageFormat> format = cairo::imageFormatFor(request.output);
  if (!format) {
    messages << "the output file must end in .png or .svg: " << request.output << '\n';
    return 1;
  }
  try {
    return drawAndWrite(request, *format, messages);
  } catch (const DatabaseFileProblem& error) {
    messages << error.what() << '\n';
  } catch (const RuntimeError& error) {
    messages << "error " << error.number() << ": " << error.what() << '\n';
  } catch (const std::exception& error) {
    messages << error.what() << '\n';
  }
  return 1;
}

void addPreviewCommand(CLI::App& app, int& status) {
  auto request = std::make_shared<PreviewRequest>();
  auto* command =
      app.add_subcommand("preview", "Draw a flashing's profile as the settings dialog shows it");
  command->add_option("LIBRARY", request->library, "The flashing library")->required();
  command->add_option("FLASHING", request->flashing, "The flashing")->required();
  command->add_option("-o,--output", request->output, "The picture to write (.png or .svg)")
      ->required();
  command->add_option("--db", request->database,
                      "The database file (default: the one in the program directory)");
  command->callback([request, &status] {
    std::ostringstream messages;
    status = runPreview(*request, messages);
    std::istringstream lines(messages.str());
    for (std::string line; std::getline(lines, line);) {
      std::cerr << "kavelmor preview: " << line << '\n';
    }
    cairo::releaseFontCaches();  // the command is the last thing the program does
  });
}

}  // namespace kvm::cli
