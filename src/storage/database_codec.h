#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/runtime_error.h"
#include "model/flashing.h"

namespace kvm {

// The database file is a bare little-endian stream of library records: no header, no
// count, no checksum. Everything in it is untrusted.

// A malformed database: error 62 "Input past end of file" for a record cut short or a count
// larger than the bytes that remain, error 13 "Type mismatch" for an array that is neither
// unallocated nor one-dimensional with lower bound 0. Says where it went wrong.
class DatabaseFormatError : public RuntimeError {
 public:
  DatabaseFormatError(int32_t number, std::size_t offset, std::string location, std::string detail);

  // Byte offset of the item that could not be read.
  [[nodiscard]] std::size_t offset() const noexcept { return offset_; }
  // Which record and field, as "library 2 "...", flashing 1 "...", SegmentAngles" (UTF-8).
  [[nodiscard]] const std::string& location() const noexcept { return location_; }
  // What was wrong, as "4 elements need 32 bytes, 20 remain" (UTF-8).
  [[nodiscard]] const std::string& detail() const noexcept { return detail_; }

 private:
  std::size_t offset_;
  std::string location_;
  std::string detail_;
};

// The raw GBK bytes of every string of a file, in file order; lets a caller keep bytes that
// do not survive the trip through text (invalid GBK).
using RawStrings = std::vector<std::string>;
// Per string, in the order the writer emits them: bytes to write instead of the text's GBK
// form. Strings beyond the end or without a value are written from their text.
using RawStringOverrides = std::vector<std::optional<std::string>>;

// The library records at the start of the bytes, at most maxRecords of them, without
// trimming. Reading stops cleanly where the bytes end between two records.
struct LibraryRecords {
  std::vector<FlashingLibrary> libraries;
  std::size_t bytesRead = 0;  // where the last record read ends
};
LibraryRecords readLibraryRecords(std::string_view bytes, std::size_t maxRecords,
                                  RawStrings* rawStrings = nullptr);

// The table a load gives: the first 26 records, trailing nameless libraries trimmed (26
// nameless ones stay), and bytes that hold no record at all give an empty (unallocated)
// table.
LibraryTable readLibraryTable(std::string_view bytes);

// The file bytes of records 0 to the table's upper bound; an unallocated table writes no
// byte. A string longer than 65535 GBK bytes cannot be stored: error 6.
std::string writeLibraryTable(const LibraryTable& table);
std::string writeLibraryRecords(const std::vector<FlashingLibrary>& libraries,
                                const RawStringOverrides* overrides = nullptr);

}  // namespace kvm
