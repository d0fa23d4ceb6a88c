#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace kvm {

// A lossless JSON form of a database file: importing an export gives the same bytes.
//
//   {"format": "kavelmor-database", "libraries": [LIBRARY, ...], "tail": "HEX"}
//
// Every record the file holds, untrimmed; fields by their record names. Unallocated arrays
// are null, allocated ones lists. Texts are JSON strings, or {"gbk": "HEX"} for bytes that
// are no valid GBK. Reals are JSON numbers that read back to the same bits, or
// {"single": "HEX"} / {"double": "HEX"} (the IEEE bits) for NaN and infinities. "tail"
// keeps bytes after the 26th record that are no further record, which a load ignores.

inline constexpr const char* kDatabaseJsonFormat = "kavelmor-database";

// Raises DatabaseFormatError for a file a load cannot read.
nlohmann::ordered_json exportDatabaseJson(std::string_view bytes);

// A JSON value that is not the form above; says where, as "libraries[0].Flashings[2].Name".
class DatabaseJsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string importDatabaseJson(const nlohmann::ordered_json& document);

}  // namespace kvm
