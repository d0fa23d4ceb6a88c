#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvm::cli {

// UTF-8 text from a database file as a terminal may show it: control characters (C0, DEL,
// C1) escaped as \xNN, so a damaged or foreign file never drives the terminal.
std::string printable(std::string_view utf8);

// "1 flashing", "2 flashings".
std::string counted(std::size_t count, std::string_view one, std::string_view many);

}  // namespace kvm::cli
