#pragma once

namespace kvm {

// The ranges the settings dialog saves a flashing's cutting attributes in; the database
// checks hold stored flashings to the same. The dialog's messages name these bounds.
template <class T>
struct AttributeRange {
  T low;
  T high;
};

inline constexpr AttributeRange<int> kMaxCutLengthRange{300, 10000};  // mm
inline constexpr AttributeRange<int> kOverlapRange{0, 300};           // mm
inline constexpr AttributeRange<int> kEndExtensionRange{0, 300};      // mm
inline constexpr AttributeRange<double> kLengthFactorRange{0.5, 2.0};

}  // namespace kvm
