// The database reader on arbitrary bytes: it either loads or raises its format error, and
// whatever loads survives writing, reading again and the trip through JSON unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/database_codec.h"
#include "storage/database_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);  // NOLINT
  kvm::LibraryTable table;
  try {
    table = kvm::readLibraryTable(bytes);
  } catch (const kvm::DatabaseFormatError&) {
    return 0;
  }
  const std::string written = kvm::writeLibraryTable(table);
  if (kvm::readLibraryTable(written).size() != table.size()) {
    __builtin_trap();
  }
  const auto json = kvm::exportDatabaseJson(bytes);
  if (kvm::importDatabaseJson(nlohmann::ordered_json::parse(json.dump())) != bytes) {
    __builtin_trap();
  }
  return 0;
}
