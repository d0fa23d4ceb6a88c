#include "platform/workshop/web/output_zip.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

namespace kvm::workshop::web {

namespace {

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

[[noreturn]] void cannotWrite(const std::string& what) {
  throw std::runtime_error("cannot put the outputs into one zip file: " + what);
}

}  // namespace

void writeZip(const std::filesystem::path& folder, const std::vector<std::string>& names,
              const std::filesystem::path& archive) {
  int error = 0;
  std::unique_ptr<zip_t, ArchiveCloser> zip(
      zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
  if (!zip) {
    cannotWrite("the archive cannot be made");
  }
  for (const std::string& name : names) {
    zip_source_t* source = zip_source_file(zip.get(), (folder / name).c_str(), 0, -1);
    if (source == nullptr) {
      cannotWrite(name + " cannot be read");
    }
    if (zip_file_add(zip.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(source);
      cannotWrite(name + " cannot be added");
    }
  }
  // zip_close frees the archive only when it succeeds; on failure the closer discards it.
  if (zip_close(zip.get()) != 0) {
    cannotWrite("the archive cannot be written");
  }
  static_cast<void>(zip.release());
}

}  // namespace kvm::workshop::web
