#pragma once

#include <filesystem>

namespace kvm {

// The program directory under its root: the system drive followed by "\QORNCAD" on Windows
// (a drive root such as "C:" must not become a drive-relative path), the session's folder
// followed by "/QORNCAD" elsewhere. An empty root stands for "C:".
std::filesystem::path programDirectoryUnder(const std::filesystem::path& root);

}  // namespace kvm
