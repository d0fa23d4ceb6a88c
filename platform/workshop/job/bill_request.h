#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/session/host_session.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop {

// The settings dialog did not hand over a bill; what() says what it showed instead.
class BillRequestError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct BillHandOver {
  std::u16string record;  // the "list" result
  // What the dialog said on the way: the command-line notes of current-use rows it left out.
  std::vector<std::u16string> notes;
};

// Gets the bill record as the user would: stores the project settings and the current-use
// list where the settings dialog reads them, opens the dialog through `kvmset` and presses
// its bill button.
BillHandOver requestBillRecord(sim::HostSession& session, const Project& project);

}  // namespace kvm::workshop
