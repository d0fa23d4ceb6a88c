#pragma once

#include <istream>
#include <ostream>

#include "apps/kavelmor/script/script_session.h"

namespace kvm::cli {

// What the command line does differently per platform. Each platform has its own
// implementation; the Windows one lives with the rest of the Windows code.

// Standard output carries the bytes as written: JSON Lines end in "\n" on every platform.
void prepareStandardOutput();

// `script --com`: plays the script against the component made through its COM server (the
// server's test build, KavelmorTest.dll, beside this program), as the CAD host makes it, with
// the session's settings in the registry where the server keeps them. Where there is no COM it
// says so and returns 2.
int runScriptThroughCom(std::istream& script, std::ostream& events, script::SessionOptions options);

}  // namespace kvm::cli
