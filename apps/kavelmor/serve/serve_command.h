#pragma once

#include <CLI/CLI.hpp>

namespace kvm::cli {

// kavelmor serve [--port N] [--host ADDR] [--open] [--db FILE | --builtin]
void addServeCommand(CLI::App& app, int& status);

}  // namespace kvm::cli
