#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include <CLI/CLI.hpp>

namespace kvm::cli {

// `kavelmor db show|export|import|check`. Without FILE each acts on the database file of the
// program directory (defaultDatabaseFile()).
//
// With `status` the command that runs leaves its exit status there; without it a failing
// command ends the parse with CLI::RuntimeError carrying the status.
void addDbCommands(CLI::App& app, int& status);
void addDbCommands(CLI::App& app);

std::filesystem::path defaultDatabaseFile();

// The commands, writing to the given streams; each returns the exit status: 0 done,
// 1 the file is malformed or cannot be read or written, or the JSON form is bad.
using OptionalPath = std::optional<std::filesystem::path>;
int dbShow(const OptionalPath& file, bool builtin, std::ostream& out, std::ostream& err);
int dbExport(const OptionalPath& file, bool builtin, const OptionalPath& output, std::ostream& out,
             std::ostream& err);
// Refuses values the settings dialog would not save unless `acceptFaults`.
int dbImport(const std::filesystem::path& json, const OptionalPath& file, std::ostream& out,
             std::ostream& err, bool acceptFaults = false);
int dbCheck(const OptionalPath& file, std::ostream& out, std::ostream& err);

}  // namespace kvm::cli
