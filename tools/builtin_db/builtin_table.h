#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kvm::builtin {

// The default database as a table of values, the source the generator builds the file
// bytes from. Angles are in degrees here and stored in radians.

struct TextMarkRow {
  std::u16string_view text;
  int16_t x;
  int16_t y;
  double angleDegrees;
  float auxValue;
};

struct FlashingRow {
  std::size_t library;  // index into libraryNames()
  std::u16string_view name;
  int16_t developedWidth;
  uint8_t scaleCode;
  int16_t startX;
  int16_t startY;
  std::vector<int16_t> lengths;
  std::vector<double> anglesDegrees;
  std::vector<TextMarkRow> textMarks;
  std::size_t dimensionCount;
  // Which dimension marks the generator builds, in stored order: "L<i>" a linear mark on
  // segment i, "A<v>" an angular mark at vertex v. Empty for a flashing whose marks are
  // listed in full (listedMarks()).
  std::string_view markPlan;
};

struct DimensionMarkRow {
  uint8_t kind;
  int16_t p1x;
  int16_t p1y;
  int16_t p2x;
  int16_t p2y;
  uint8_t style;
  std::u16string_view text;
  uint8_t vertexA;
  uint8_t vertexB;
  uint8_t vertexC;
  int16_t arcX;
  int16_t arcY;
  int16_t textX;
  int16_t textY;
  uint8_t textAtPoint;
  double textAngleDegrees;
};

std::vector<std::u16string_view> libraryNames();
std::vector<FlashingRow> flashingRows();
// The marks of the first flashing, given value by value.
std::vector<DimensionMarkRow> listedMarks();

// What every built-in flashing shares.
inline constexpr int16_t kMaxCutLength = 4000;
inline constexpr int16_t kOverlap = 100;
inline constexpr std::u16string_view kColor = u"天蓝色";
inline constexpr int16_t kEndExtension = 100;
inline constexpr float kLengthFactor = 1.0F;
// The one flashing whose linear texts are its lengths divided by 10 whatever its scale.
inline constexpr std::u16string_view kTenthsException = u"山墙内墙板下包角";

}  // namespace kvm::builtin
