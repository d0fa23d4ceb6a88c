// Draws every built-in flashing's preview through GDI, as the settings dialog shows it, and
// writes the pictures for the comparison with the cairo rendering on Linux:
//
//   preview_gdi_pictures.exe OUTPUT_FOLDER
//
// writes NN.bmp (the whole preview) and NN-outline.bmp (the outline alone), NN counting the
// flashings from 01 in the built-in database's order.

#include "platform/win32/windows_headers.h"

#include <cstdio>
#include <cstring>
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
#include "tests/win32/ui/preview_outline.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = static_cast<int>(kvm::preview::kAreaWidth);
constexpr int kHeight = static_cast<int>(kvm::preview::kAreaHeight);

// A memory bitmap of the preview's size that GDI draws on and the program reads directly.
class MemoryPicture {
 public:
  MemoryPicture() : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    before_ = SelectObject(dc_, bitmap_);
  }
  MemoryPicture(const MemoryPicture&) = delete;
  MemoryPicture& operator=(const MemoryPicture&) = delete;
  MemoryPicture(MemoryPicture&&) = delete;
  MemoryPicture& operator=(MemoryPicture&&) = delete;
  ~MemoryPicture() {
    SelectObject(dc_, before_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  [[nodiscard]] bool ready() const noexcept { return bits_ != nullptr; }

  kvm::testing::Bitmap draw(const std::vector<kvm::preview::CanvasOp>& ops) {
    kvm::win32::replayCanvas(dc_, SIZE{kWidth, kHeight}, ops);
    GdiFlush();
    kvm::testing::Bitmap picture{kWidth, kHeight, {}};
    picture.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight);
    std::memcpy(picture.pixels.data(), bits_, picture.pixels.size() * sizeof(uint32_t));
    for (uint32_t& pixel : picture.pixels) {
      pixel &= 0xFFFFFFU;
    }
    return picture;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ before_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: preview_gdi_pictures OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  try {
    const fs::path output(argv[1]);  // NOLINT: the program's arguments
    fs::create_directories(output);
    MemoryPicture picture;
    if (!picture.ready()) {
      std::fputs("cannot make the memory bitmap\n", stderr);
      return 1;
    }
    const auto desktop = kvm::win32::makeWin32Desktop();
    int number = 0;
    for (const kvm::FlashingLibrary& library : kvm::builtinLibraryTable()) {
      for (const kvm::Flashing& flashing : library.Flashings) {
        kvm::preview::RecordingPreviewArea area;
        kvm::preview::drawPreview(flashing, area, *desktop);
        const auto& ops = area.recording().ops();
        char name[16]{};
        std::snprintf(name, sizeof name, "%02d", ++number);
        kvm::testing::writeBitmap(output / (std::string(name) + ".bmp"), picture.draw(ops));
        kvm::testing::writeBitmap(output / (std::string(name) + "-outline.bmp"),
                                  picture.draw(kvm::testing::outlineOps(ops)));
      }
    }
    std::printf("%d flashings\n", number);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
