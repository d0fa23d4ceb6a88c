#include "platform/cairo/staged_stream.h"

#include "files/staged_file.h"

namespace kvm::cairo {

cairo_status_t writeToStagedFile(void* closure, const unsigned char* data, unsigned int length) {
  return static_cast<files::StagedFile*>(closure)->tryWrite(data, length)
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace kvm::cairo
