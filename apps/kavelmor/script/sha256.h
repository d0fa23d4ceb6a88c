#pragma once

#include <string>
#include <string_view>

namespace kvm::script {

// The SHA-256 digest of some bytes as lower-case hex, for the "files" dump.
std::string sha256Hex(std::string_view bytes);

}  // namespace kvm::script
