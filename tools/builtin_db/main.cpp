// Writes the built-in database file: builtin_db OUTPUT
#include <cstdio>
#include <exception>

#include "storage/file_access.h"
#include "tools/builtin_db/builtin_generator.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: builtin_db OUTPUT\n", stderr);
    return 2;
  }
  try {
    const std::string bytes = kvm::builtin::generateDatabase();
    kvm::writeFileAtomically(argv[1], bytes);
    std::printf("%s: %zu bytes\n", argv[1], bytes.size());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "builtin_db: %s\n", error.what());
    return 1;
  }
}
