#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvm::workshop {

// The bill record as the host reads it: the header and, per flashing, its attributes and
// profile. Numbers keep the values the record wrote; texts are as written.
struct BillHeader {
  std::u16string projectName;
  std::u16string plateThickness;
  std::u16string lengthClassStep;
  std::u16string textHeight;
  std::u16string date;
};

struct BillDimension {
  int kind = 0;  // 0 linear, 1 angular
  std::u16string label;
  int p1x = 0;
  int p1y = 0;
  int p2x = 0;
  int p2y = 0;
  int style = 0;
  int vertexA = 0;
  int vertexB = 0;
  int vertexC = 0;
  int arcX = 0;
  int arcY = 0;
};

struct BillTextMark {
  std::u16string text;
  int x = 0;
  int y = 0;
  double angle = 0;  // radians
  double auxValue = 0;
};

struct BillEntry {
  std::u16string name;
  int maxCutLength = 0;  // mm
  int overlap = 0;       // mm
  std::u16string color;
  int endExtension = 0;             // mm, both ends together
  std::u16string lengthFactorText;  // "0.00"
  double lengthFactor = 0;
  int developedWidth = 0;  // mm
  int scaleCode = 0;
  int startX = 0;  // profile units
  int startY = 0;
  std::vector<int> segmentLengths;
  std::vector<double> segmentAngles;  // radians
  std::vector<BillDimension> dimensions;
  std::vector<BillTextMark> textMarks;
};

struct BillRecord {
  BillHeader header;
  std::vector<BillEntry> entries;
};

// A result string that is not a bill record the host can draw; what() names the entry and the
// field.
class BillRecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the settings call's "list" result.
BillRecord parseBillRecord(std::u16string_view record);

}  // namespace kvm::workshop
