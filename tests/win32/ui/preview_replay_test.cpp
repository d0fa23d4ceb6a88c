#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win32/ui/gdi_replay.h"
#include "platform/win32/win32_desktop.h"
#include "preview/preview_area.h"
#include "preview/profile_preview.h"
#include "storage/builtin_database.h"
#include "tests/win32/ui/gdi_surface.h"

namespace kvm::win32 {
namespace {

constexpr int kWidth = static_cast<int>(preview::kAreaWidth);
constexpr int kHeight = static_cast<int>(preview::kAreaHeight);

// Every built-in flashing's preview, drawn by GDI: each outline vertex lies on a lit pixel,
// as in the cairo rendering, which centres its lines on the vertices' pixels.
TEST(PreviewReplay, every_outline_vertex_of_the_builtin_flashings_is_lit) {
  testing::GdiSurface surface(kWidth, kHeight);

  const auto desktop = makeWin32Desktop();
  const LibraryTable table = builtinLibraryTable();
  int flashings = 0;
  int vertices = 0;
  for (const FlashingLibrary& library : table) {
    for (const Flashing& flashing : library.Flashings) {
      preview::RecordingPreviewArea area;
      preview::drawPreview(flashing, area, *desktop);
      const std::vector<canvas::CanvasOp>& ops = area.recording().ops();
      surface.replay(ops);
      ++flashings;
      // A vertex is where a line starts: a move followed by a line, or a line followed by one.
      for (std::size_t i = 0; i + 1 < ops.size(); ++i) {
        if (!std::holds_alternative<canvas::op::LineTo>(ops[i + 1])) {
          continue;
        }
        int x = -1;
        int y = -1;
        if (const auto* move = std::get_if<canvas::op::MoveTo>(&ops[i])) {
          x = move->x;
          y = move->y;
        } else if (const auto* line = std::get_if<canvas::op::LineTo>(&ops[i])) {
          x = line->x;
          y = line->y;
        }
        if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) {
          ++vertices;
          EXPECT_NE(surface.at(x, y), 0U)
              << "flashing " << flashings << ", vertex " << x << "," << y;
        }
      }
    }
  }
  EXPECT_EQ(flashings, 32);
  EXPECT_GT(vertices, 3 * flashings);
}

}  // namespace
}  // namespace kvm::win32
