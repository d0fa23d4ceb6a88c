#include "apps/kavelmor/platform_commands.h"

#include "platform/script/json_lines_sink.h"

namespace kvm::cli {

void prepareStandardOutput() {}

// The Windows runner fills in its own copy of the options, hence the value parameter.
int runScriptThroughCom(
    std::istream& /*script*/, std::ostream& events,
    script::SessionOptions /*options*/) {  // NOLINT(performance-unnecessary-value-param)
  script::JsonLinesSink(events).emit(
      {{"error", "--com needs the Windows build: here the component runs in-process only"}});
  return 2;
}

}  // namespace kvm::cli
