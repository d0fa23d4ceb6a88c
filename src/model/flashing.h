#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/dynamic_array.h"

namespace kvm {

// The records of the flashing database. Fields keep the order (and the widths) they have
// in the database file; copies are deep, like the platform's record assignment.

// A text placed on a profile. The text "*" is the marker star.
struct TextMark {
  std::u16string Text;
  int16_t X = 0;
  int16_t Y = 0;
  float Angle = 0.0F;     // radians
  float AuxValue = 0.0F;  // the host's, kept as given

  bool operator==(const TextMark&) const = default;
};

inline constexpr uint8_t kLinearDimension = 0;
inline constexpr uint8_t kAngularDimension = 1;

// A dimension on a profile, linear (Kind 0) or angular (Kind 1).
struct DimensionMark {
  uint8_t Kind = kLinearDimension;
  std::u16string Label;
  int16_t P1X = 0;
  int16_t P1Y = 0;
  int16_t P2X = 0;
  int16_t P2Y = 0;
  uint8_t Style = 0;
  std::u16string Text;
  uint8_t VertexA = 0;
  uint8_t VertexB = 0;
  uint8_t VertexC = 0;
  int16_t ArcX = 0;
  int16_t ArcY = 0;
  int16_t TextX = 0;
  int16_t TextY = 0;
  uint8_t TextAtPoint = 0;
  float TextAngle = 0.0F;  // radians

  bool operator==(const DimensionMark&) const = default;
};

// One flashing: cutting attributes and the captured profile. A flashing without a profile
// has all four profile arrays unallocated.
struct Flashing {
  std::u16string Name;
  int16_t MaxCutLength = 0;  // mm
  int16_t Overlap = 0;       // mm
  std::u16string Color;
  int16_t EndExtension = 0;  // mm
  float LengthFactor = 0.0F;
  int16_t DevelopedWidth = 0;  // mm
  uint8_t ScaleCode = 0;
  int16_t StartX = 0;  // profile units
  int16_t StartY = 0;
  DynamicArray<int16_t> SegmentLengths;  // profile units
  DynamicArray<double> SegmentAngles;    // radians, absolute directions
  DynamicArray<TextMark> TextMarks;
  DynamicArray<DimensionMark> DimensionMarks;

  [[nodiscard]] bool hasProfile() const noexcept { return SegmentLengths.isAllocated(); }
  bool operator==(const Flashing&) const = default;
};

struct FlashingLibrary {
  std::u16string Name;  // empty: a free slot
  DynamicArray<Flashing> Flashings;
  uint8_t LastFlashing = 0;

  bool operator==(const FlashingLibrary&) const = default;
};

// The library table: unallocated when it holds no library at all.
using LibraryTable = DynamicArray<FlashingLibrary>;

inline constexpr std::size_t kMaxLibraries = 26;
inline constexpr std::size_t kMaxFlashingsPerLibrary = 26;

}  // namespace kvm
