#include "storage/attribute_rules.h"

#include <cmath>
#include <numbers>

#include "base/numbers.h"
#include "base/text.h"
#include "model/attribute_ranges.h"

namespace kvm {
namespace {

// A captured profile's directions lie within one turn either way.
constexpr double kMaxAngle = 2 * std::numbers::pi + 1e-9;
// The host measures the developed width from the profile it captures; a width more than twice
// or less than half the profile's length at its scale belongs to another profile or is a
// typing slip. (One built-in flashing is drawn at twice its scale.)
constexpr double kWidthFactor = 2.0;

class FlashingRules {
 public:
  FlashingRules(const Flashing& flashing, std::string where, std::vector<std::string>& faults)
      : f_(flashing), where_(std::move(where)), faults_(faults) {}

  void check() {
    range("MaxCutLength", f_.MaxCutLength, kMaxCutLengthRange);
    range("Overlap", f_.Overlap, kOverlapRange);
    if (f_.Overlap >= f_.MaxCutLength && f_.MaxCutLength >= kMaxCutLengthRange.low) {
      fault("Overlap " + std::to_string(f_.Overlap) + ": must be smaller than MaxCutLength (" +
            std::to_string(f_.MaxCutLength) + " mm), or no piece covers anything");
    }
    range("EndExtension", f_.EndExtension, kEndExtensionRange);
    const double factor = f_.LengthFactor;
    if (!(factor >= kLengthFactorRange.low - 1e-6 && factor <= kLengthFactorRange.high + 1e-6)) {
      fault("LengthFactor " + toUtf8(generalText(f_.LengthFactor)) + ": must be 0.50 to 2.00");
    }
    if (f_.DevelopedWidth <= 0) {
      fault("DevelopedWidth " + std::to_string(f_.DevelopedWidth) + ": must be 1 mm or more");
    }
    if (f_.ScaleCode < 1 || f_.ScaleCode > 9) {
      fault("ScaleCode " + std::to_string(f_.ScaleCode) +
            ": must be 1 to 9 (1:10 to 1:90, 5 for 1:5)");
    }
    profile();
  }

 private:
  void fault(const std::string& text) { faults_.push_back(where_ + ": " + text); }

  void range(const char* field, int value, AttributeRange<int> allowed) {
    if (value < allowed.low || value > allowed.high) {
      fault(std::string(field) + " " + std::to_string(value) + ": must be " +
            std::to_string(allowed.low) + " to " + std::to_string(allowed.high) + " mm");
    }
  }

  void profile() {
    if (!f_.SegmentLengths.isAllocated()) {
      return;
    }
    double length = 0;
    for (std::size_t i = 0; i < f_.SegmentLengths.size(); ++i) {
      if (f_.SegmentLengths[i] < 0) {
        fault("SegmentLengths[" + std::to_string(i) + "] " + std::to_string(f_.SegmentLengths[i]) +
              ": must not be negative");
      }
      length += f_.SegmentLengths[i];
    }
    for (std::size_t i = 0; f_.SegmentAngles.isAllocated() && i < f_.SegmentAngles.size(); ++i) {
      if (!(std::abs(f_.SegmentAngles[i]) <= kMaxAngle)) {
        fault("SegmentAngles[" + std::to_string(i) + "] " +
              toUtf8(generalText(f_.SegmentAngles[i])) + ": must be a direction from -2π to 2π");
      }
    }
    for (std::size_t i = 0; f_.TextMarks.isAllocated() && i < f_.TextMarks.size(); ++i) {
      const TextMark& mark = f_.TextMarks[i];
      if (!std::isfinite(mark.Angle) || !std::isfinite(mark.AuxValue)) {
        fault("TextMarks[" + std::to_string(i) + "]: its angle and size must be finite numbers");
      }
    }
    // 1:10 draws a millimetre as ten profile units, 1:20 as twenty; 5 stands for 1:5.
    const int units = f_.ScaleCode == 5 ? 5 : f_.ScaleCode * 10;
    if (length > 0 && units > 0 && f_.DevelopedWidth > 0) {
      const double measured = std::round(length / units);  // the host measures whole mm
      if (f_.DevelopedWidth > kWidthFactor * measured ||
          f_.DevelopedWidth < measured / kWidthFactor) {
        fault("DevelopedWidth " + std::to_string(f_.DevelopedWidth) +
              ": must be between half and twice the profile's length at its scale (" +
              toUtf8(formatFixed(measured, 0)) + " mm)");
      }
    }
  }

  const Flashing& f_;
  std::string where_;
  std::vector<std::string>& faults_;
};

std::string named(std::string_view what, std::size_t index, const std::u16string& name) {
  return std::string(what) + " " + std::to_string(index + 1) + " \"" + toUtf8(name) + "\"";
}

}  // namespace

std::vector<std::string> attributeFaults(const LibraryTable& table) {
  std::vector<std::string> faults;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const FlashingLibrary& library = table[i];
    for (std::size_t k = 0; library.Flashings.isAllocated() && k < library.Flashings.size(); ++k) {
      FlashingRules(library.Flashings[k],
                    named("library", i, library.Name) + ", " +
                        named("flashing", k, library.Flashings[k].Name),
                    faults)
          .check();
    }
  }
  return faults;
}

}  // namespace kvm
