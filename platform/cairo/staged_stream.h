#pragma once

#include <cairo.h>

namespace kvm::cairo {

// cairo's write callback into the files::StagedFile given as its closure; the file keeps the
// reason of a failure for its commit() to throw.
cairo_status_t writeToStagedFile(void* closure, const unsigned char* data, unsigned int length);

}  // namespace kvm::cairo
