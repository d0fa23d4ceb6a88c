#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database_codec.h"

namespace kvm {

// What a database file holds and what is wrong with it, for people repairing one.
struct DatabaseCheck {
  std::size_t bytes = 0;
  std::size_t records = 0;    // library records a load reads (at most 26)
  std::size_t libraries = 0;  // rows the table has after a load
  std::size_t flashings = 0;
  // Set when a load fails; the file is then malformed.
  std::optional<DatabaseFormatError> error;
  // Things a load accepts but that deserve a look (UTF-8).
  std::vector<std::string> notes;
  // Values the settings dialog would not save; a bill made from them is nonsense (UTF-8).
  std::vector<std::string> faults;
};

DatabaseCheck checkDatabase(std::string_view bytes);

}  // namespace kvm
