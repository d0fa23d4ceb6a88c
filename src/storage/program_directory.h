#pragma once

#include <filesystem>

namespace kvm {

// Off Windows the program directory's root (the system drive there) is
// $KAVELMOR_HOME when set, else $XDG_DATA_HOME/kavelmor (~/.local/share/kavelmor).
std::filesystem::path defaultProgramDirectoryRoot();

// The per-user folder of the JSON settings store: $KAVELMOR_HOME when set, else
// $XDG_CONFIG_HOME/kavelmor (~/.config/kavelmor).
std::filesystem::path defaultSettingsFolder();

// root/QORNCAD (root\\QORNCAD on Windows), where the database file lives.
std::filesystem::path programDirectoryUnder(const std::filesystem::path& root);

}  // namespace kvm
