#pragma once

#include <string>
#include <string_view>

namespace kvm {

// UTF-8 text from a file as a terminal may show it: control characters (C0, DEL, C1) escaped
// as \xNN, so a damaged or foreign file never drives the terminal.
std::string printable(std::string_view utf8);

}  // namespace kvm
