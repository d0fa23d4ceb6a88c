#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace kvm::cli {

// kavelmor preview LIBRARY FLASHING -o FILE.png|.svg [--db FILE]
void addPreviewCommand(CLI::App& app, int& status);

struct PreviewRequest {
  std::string library;   // UTF-8
  std::string flashing;  // UTF-8
  std::string output;
  std::string database;  // empty: the database file of the program directory
};

// Draws the flashing's profile as the settings dialog does and writes the picture. Returns
// 0, or 1 after telling `messages` what went wrong (a drawing stopped by an error is still
// written, as far as it got).
int runPreview(const PreviewRequest& request, std::ostream& messages);

}  // namespace kvm::cli
