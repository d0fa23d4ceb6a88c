#include "storage/builtin_database.h"

#include <cstddef>

#include "storage/database_codec.h"

namespace kvm {
namespace detail {
// Generated at build time from resources/Kavelmor.dat.
extern const unsigned char kBuiltinDatabase[];
extern const std::size_t kBuiltinDatabaseSize;
}  // namespace detail

std::string_view builtinDatabaseBytes() {
  // The bytes are plain data; viewing them as characters is how files are handled here.
  return {reinterpret_cast<const char*>(detail::kBuiltinDatabase),  // NOLINT
          detail::kBuiltinDatabaseSize};
}

LibraryTable builtinLibraryTable() {
  return readLibraryTable(builtinDatabaseBytes());
}

}  // namespace kvm
