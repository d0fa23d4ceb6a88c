// Draws every built-in flashing's preview through GDI, as the settings dialog shows it, and
// writes the pictures for the comparison with the cairo rendering on Linux:
//
//   preview_gdi_pictures.exe OUTPUT_FOLDER
//
// writes NN.bmp (the whole preview) and NN-outline.bmp (the outline alone), NN counting the
// flashings from 01 in the built-in database's order.

#include "platform/win32/windows_headers.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/ui/gdi_replay.h"
#include "platform/win32/win32_desktop.h"
#include "preview/preview_area.h"
#include "preview/profile_preview.h"
#include "storage/builtin_database.h"
#include "tests/win32/ui/bitmap_file.h"
#include "tests/win32/ui/gdi_surface.h"
#include "tests/win32/ui/preview_outline.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = static_cast<int>(kvm::preview::kAreaWidth);
constexpr int kHeight = static_cast<int>(kvm::preview::kAreaHeight);

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: preview_gdi_pictures OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  try {
    const fs::path output(argv[1]);  // NOLINT: the program's arguments
    fs::create_directories(output);
    kvm::testing::GdiSurface surface(kWidth, kHeight);
    const auto draw = [&surface](const std::vector<kvm::canvas::CanvasOp>& ops) {
      surface.replay(ops);
      return surface.picture();
    };
    const auto desktop = kvm::win32::makeWin32Desktop();
    int number = 0;
    for (const kvm::FlashingLibrary& library : kvm::builtinLibraryTable()) {
      for (const kvm::Flashing& flashing : library.Flashings) {
        kvm::preview::RecordingPreviewArea area;
        kvm::preview::drawPreview(flashing, area, *desktop);
        const auto& ops = area.recording().ops();
        char name[16]{};
        std::snprintf(name, sizeof name, "%02d", ++number);
        kvm::testing::writeBitmap(output / (std::string(name) + ".bmp"), draw(ops));
        kvm::testing::writeBitmap(output / (std::string(name) + "-outline.bmp"),
                                  draw(kvm::testing::outlineOps(ops)));
      }
    }
    std::printf("%d flashings\n", number);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
