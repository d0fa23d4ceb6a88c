#include "bench/support/full_database.h"

#include "base/text.h"

namespace kvm::bench {

namespace {

constexpr int kSegments = 50;
constexpr int kDimensionMarks = 19;
constexpr int kTextMarks = 10;

}  // namespace

Flashing fullFlashing(int number) {
  Flashing flashing;
  flashing.Name = u"女儿墙顶包角" + decimal(number);
  flashing.MaxCutLength = 4000;
  flashing.Overlap = 100;
  flashing.Color = u"天蓝色";
  flashing.EndExtension = 100;
  flashing.LengthFactor = 1.0F;
  flashing.DevelopedWidth = 500;
  flashing.ScaleCode = 1;
  flashing.StartX = -2400;
  flashing.StartY = -317;
  for (int s = 0; s < kSegments; ++s) {
    flashing.SegmentLengths.push_back(static_cast<int16_t>(100 + 37 * s));
    flashing.SegmentAngles.push_back(0.1047197551196598 * s);
  }
  for (int t = 0; t < kTextMarks; ++t) {
    flashing.TextMarks.push_back(
        TextMark{t == 0 ? u"*" : u"施工时根据板型现场剪角", static_cast<int16_t>(-1190 + t),
                 static_cast<int16_t>(167 - t), 0.1047198F * static_cast<float>(t), 0.8F});
  }
  for (int d = 0; d < kDimensionMarks; ++d) {
    DimensionMark mark;
    mark.Kind = static_cast<uint8_t>(d % 2);
    mark.P1X = static_cast<int16_t>(-2333 + d);
    mark.P1Y = -959;
    mark.P2X = static_cast<int16_t>(1270 - d);
    mark.P2Y = -545;
    mark.Style = 0xA1;
    mark.Text = d % 2 == 0 ? u"220" : u"141°";
    mark.VertexA = static_cast<uint8_t>(d);
    mark.VertexB = static_cast<uint8_t>(d + 1);
    mark.ArcX = 403;
    mark.ArcY = 79;
    flashing.DimensionMarks.push_back(mark);
  }
  return flashing;
}

LibraryTable fullTable() {
  LibraryTable table;
  for (int l = 0; l < kFullLibraries; ++l) {
    FlashingLibrary library{u"彩钢板屋面" + decimal(l), {}, 0};
    for (int f = 0; f < kFullFlashings; ++f) {
      library.Flashings.push_back(fullFlashing(f));
    }
    table.push_back(std::move(library));
  }
  return table;
}

}  // namespace kvm::bench
