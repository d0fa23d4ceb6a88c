#pragma once

#include <cstdint>

namespace kvm {

// The cutting attributes of the flashing last opened, in millimetres.
struct CuttingAttributes {
  int16_t maxCutLength = 0;  // Lmax1
  int16_t endExtension = 0;  // shen1
  int16_t overlap = 0;       // dajie1
};

}  // namespace kvm
