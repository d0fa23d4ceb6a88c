#pragma once

#include <system_error>

#include "base/runtime_error.h"

namespace kvm {

enum class FileAccess { Read, Write };

// The platform's run-time error for a failed file operation.
RuntimeError fileError(const std::error_code& error, FileAccess access);
RuntimeError fileErrorFromErrno(int errnoValue, FileAccess access);

}  // namespace kvm
