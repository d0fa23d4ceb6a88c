#include "apps/kavelmor/platform_commands.h"

#include "apps/kavelmor/script/json_lines_sink.h"

namespace kvm::cli {

void prepareStandardOutput() {}

int runScriptThroughCom(std::istream& /*script*/, std::ostream& events,
                        script::SessionOptions /*options*/) {
  script::JsonLinesSink(events).emit(
      {{"error", "--com needs the Windows build: here the component runs in-process only"}});
  return 2;
}

}  // namespace kvm::cli
