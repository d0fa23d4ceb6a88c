#include "apps/kavelmor/db/db_commands.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "apps/kavelmor/db/database_table_text.h"
#include "apps/kavelmor/db/terminal_text.h"
#include "base/text.h"
#include "storage/attribute_rules.h"
#include "storage/builtin_database.h"
#include "storage/database_check.h"
#include "storage/database_codec.h"
#include "storage/database_file.h"
#include "storage/database_json.h"
#include "storage/database_problem.h"
#include "storage/file_access.h"
#include "storage/program_directory.h"

namespace kvm::cli {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadJson = 1;  // a refused input, as every command reports one

std::filesystem::path chosen(const OptionalPath& file) {
  return file ? *file : defaultDatabaseFile();
}

std::string describe(const RuntimeError& error) {
  return toUtf8(error.description()) + " (error " + std::to_string(error.number()) + ")";
}

std::string describe(const DatabaseFormatError& error) {
  return formatErrorText(error);
}

// One line for a file the commands cannot read as a database.
void reportNotADatabase(const OptionalPath& file, const DatabaseFormatError& error,
                        std::ostream& err) {
  err << "kavelmor db: " << chosen(file).string() << ": " << notADatabase(error) << '\n';
}

// The bytes of the file (or of the built-in database); nullopt after reporting a failure.
std::optional<std::string> databaseBytes(const OptionalPath& file, bool builtin,
                                         std::ostream& err) {
  if (builtin) {
    return std::string(builtinDatabaseBytes());
  }
  const std::filesystem::path path = chosen(file);
  try {
    return readWholeFile(path);
  } catch (const RuntimeError& error) {
    err << "kavelmor db: " << path.string() << ": " << describe(error) << '\n';
    return std::nullopt;
  }
}

// The bytes to show or check: an empty file holds nothing to show, which is said once
// (an export still gives its empty table back).
std::optional<std::string> nonEmptyDatabaseBytes(const OptionalPath& file, bool builtin,
                                                 std::ostream& err) {
  std::optional<std::string> bytes = databaseBytes(file, builtin, err);
  if (bytes && bytes->empty()) {
    err << "kavelmor db: " << chosen(file).string() << ": the file is empty\n";
    return std::nullopt;
  }
  return bytes;
}

struct DbOptions {
  OptionalPath file;
  OptionalPath output;
  std::filesystem::path json;
  bool builtin = false;
  bool asJson = true;
  bool acceptFaults = false;
};

void report(int result, int* status) {
  if (status != nullptr) {
    *status = result;
  } else if (result != kDone) {
    throw CLI::RuntimeError(result);
  }
}

void addCommands(CLI::App& app, int* status) {
  CLI::App* db = app.add_subcommand("db", "Show, check, export and import the flashing database");
  db->require_subcommand(1);
  const std::string fileHelp = "database file (default: " + defaultDatabaseFile().string() + ")";

  auto show = std::make_shared<DbOptions>();
  CLI::App* showCommand = db->add_subcommand("show", "Libraries and flashings as a table");
  showCommand->add_option("FILE", show->file, fileHelp);
  showCommand->add_flag("--builtin", show->builtin, "show the built-in database");
  showCommand->callback(
      [show, status] { report(dbShow(show->file, show->builtin, std::cout, std::cerr), status); });

  auto exported = std::make_shared<DbOptions>();
  CLI::App* exportCommand = db->add_subcommand("export", "The whole file as lossless JSON");
  exportCommand->add_option("FILE", exported->file, fileHelp);
  exportCommand->add_flag("--json", exported->asJson, "JSON (the only form)");
  exportCommand->add_flag("--builtin", exported->builtin, "export the built-in database");
  exportCommand->add_option("-o,--output", exported->output, "write to this file, not stdout");
  exportCommand->callback([exported, status] {
    report(dbExport(exported->file, exported->builtin, exported->output, std::cout, std::cerr),
           status);
  });

  auto imported = std::make_shared<DbOptions>();
  CLI::App* importCommand = db->add_subcommand("import", "Write a database file from its JSON");
  importCommand->add_option("JSON", imported->json, "JSON of an export (- for stdin)")->required();
  importCommand->add_option("FILE", imported->file, fileHelp);
  importCommand->add_flag("--accept-faults", imported->acceptFaults,
                          "write values the settings dialog would not save (for repairs)");
  importCommand->callback([imported, status] {
    report(dbImport(imported->json, imported->file, std::cout, std::cerr, imported->acceptFaults),
           status);
  });

  auto checked = std::make_shared<DbOptions>();
  CLI::App* checkCommand =
      db->add_subcommand("check", "Read the file and say what is wrong with it");
  checkCommand->add_option("FILE", checked->file, fileHelp);
  checkCommand->callback(
      [checked, status] { report(dbCheck(checked->file, std::cout, std::cerr), status); });
}

}  // namespace

std::filesystem::path defaultDatabaseFile() {
  return databasePath(programDirectoryUnder(defaultProgramDirectoryRoot()));
}

void addDbCommands(CLI::App& app, int& status) {
  addCommands(app, &status);
}
void addDbCommands(CLI::App& app) {
  addCommands(app, nullptr);
}

int dbShow(const OptionalPath& file, bool builtin, std::ostream& out, std::ostream& err) {
  std::error_code ignored;
  if (!builtin && !file && !std::filesystem::exists(defaultDatabaseFile(), ignored)) {
    // A fresh installation: the first start writes the built-in database there.
    out << "No database file at " << defaultDatabaseFile().string()
        << " yet: the built-in database, which the first start writes there.\n";
    builtin = true;
  }
  const std::optional<std::string> bytes = nonEmptyDatabaseBytes(file, builtin, err);
  if (!bytes) {
    return kFailed;
  }
  LibraryTable table;
  try {
    table = readLibraryTable(*bytes);
  } catch (const DatabaseFormatError& error) {
    reportNotADatabase(file, error, err);
    return kFailed;
  }
  out << (builtin ? std::string("built-in database") : chosen(file).string()) << ": ";
  printLibraryTable(table, out);
  return kDone;
}

int dbExport(const OptionalPath& file, bool builtin, const OptionalPath& output, std::ostream& out,
             std::ostream& err) {
  const std::optional<std::string> bytes = databaseBytes(file, builtin, err);
  if (!bytes) {
    return kFailed;
  }
  std::string text;
  try {
    text = exportDatabaseJson(*bytes).dump(1) + "\n";
  } catch (const DatabaseFormatError& error) {
    reportNotADatabase(file, error, err);
    return kFailed;
  }
  if (!output) {
    out << text;
    return kDone;
  }
  try {
    writeFileAtomically(*output, text);
  } catch (const RuntimeError& error) {
    err << "kavelmor db: " << output->string() << ": " << describe(error) << '\n';
    return kFailed;
  }
  return kDone;
}

int dbImport(const std::filesystem::path& json, const OptionalPath& file, std::ostream& out,
             std::ostream& err, bool acceptFaults) {
  std::string text;
  if (json == "-") {
    std::ostringstream in;
    in << std::cin.rdbuf();
    text = in.str();
  } else {
    try {
      text = readWholeFile(json);
    } catch (const RuntimeError& error) {
      err << "kavelmor db: " << json.string() << ": " << describe(error) << '\n';
      return kFailed;
    }
  }
  std::string bytes;
  try {
    bytes = importDatabaseJson(nlohmann::ordered_json::parse(text));
  } catch (const nlohmann::json::exception& error) {
    err << "kavelmor db: " << json.string() << ": " << error.what() << '\n';
    return kBadJson;
  } catch (const DatabaseJsonError& error) {
    err << "kavelmor db: " << json.string() << ": " << error.what() << '\n';
    return kBadJson;
  } catch (const RuntimeError& error) {
    err << "kavelmor db: " << json.string() << ": " << describe(error) << '\n';
    return kBadJson;
  }
  const std::filesystem::path target = chosen(file);
  const std::vector<std::string> faults =
      acceptFaults ? std::vector<std::string>() : attributeFaults(readLibraryTable(bytes));
  if (!faults.empty()) {
    for (const std::string& fault : faults) {
      err << "kavelmor db: " << json.string() << ": " << fault << '\n';
    }
    err << "kavelmor db: " << target.string() << " is left as it was\n";
    return kFailed;
  }
  try {
    if (target.has_parent_path()) {
      std::filesystem::create_directories(target.parent_path());
    }
    writeFileAtomically(target, bytes);
  } catch (const RuntimeError& error) {
    err << "kavelmor db: " << target.string() << ": " << describe(error) << '\n';
    return kFailed;
  } catch (const std::filesystem::filesystem_error& error) {
    err << "kavelmor db: " << target.string() << ": " << error.code().message() << '\n';
    return kFailed;
  }
  out << target.string() << ": " << bytes.size() << " bytes written\n";
  return kDone;
}

int dbCheck(const OptionalPath& file, std::ostream& out, std::ostream& err) {
  const std::optional<std::string> bytes = nonEmptyDatabaseBytes(file, false, err);
  if (!bytes) {
    return kFailed;
  }
  const DatabaseCheck check = checkDatabase(*bytes);
  const std::string name = chosen(file).string();
  if (check.error) {
    out << name << ": malformed, " << describe(*check.error) << '\n';
    return kFailed;
  }
  out << name << ": readable, " << counted(check.libraries, "library", "libraries") << ", "
      << counted(check.flashings, "flashing", "flashings") << ", " << check.bytes << " bytes\n";
  for (const std::string& note : check.notes) {
    out << name << ": note: " << printable(note) << '\n';
  }
  for (const std::string& fault : check.faults) {
    out << name << ": fault: " << printable(fault) << '\n';
  }
  return check.faults.empty() ? kDone : kFailed;
}

}  // namespace kvm::cli
