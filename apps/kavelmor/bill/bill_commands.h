#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace kvm::workshop {
struct BillRequest;
}  // namespace kvm::workshop

namespace kvm::cli {

// kavelmor bill PROJECT.json -o OUT_DIR [--plan PLAN.dxf] [--units U] [--home DIR] [--db FILE]
//                                     [--modelspace FILE] [--paper A4|A3|letter]
// kavelmor demo [-o OUT_DIR]
void addBillCommands(CLI::App& app, int& status);

// Runs the main job on a project file. Returns 0, or 1 after one line on `errors`.
int runBill(const workshop::BillRequest& request, std::ostream& progress, std::ostream& errors);

// Writes the sample project into the folder and runs the main job on it in a fresh session.
int runDemo(const std::string& output, const std::string& modelSpaceDump, std::ostream& progress,
            std::ostream& errors);

}  // namespace kvm::cli
