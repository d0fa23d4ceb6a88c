#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/printable.h"

namespace kvm::cli {

// "1 flashing", "2 flashings".
std::string counted(std::size_t count, std::string_view one, std::string_view many);

}  // namespace kvm::cli
