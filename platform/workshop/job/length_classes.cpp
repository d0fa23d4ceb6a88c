#include "platform/workshop/job/length_classes.h"

#include <cmath>
#include <map>
#include <stdexcept>

#include "base/numbers.h"

namespace kvm::workshop {

int64_t flashingLength(double drawnLength, double lengthFactor) {
  const double length = roundPattern(drawnLength * lengthFactor, 0);
  if (!(std::abs(length) < 1e15)) {
    throw std::out_of_range("a flashing line is longer than any sheet could be cut for");
  }
  return static_cast<int64_t>(length);
}

int64_t classLength(int64_t length, int32_t step) {
  if (step <= 0 || length <= 0) {
    return length;
  }
  return (length + step - 1) / step * step;
}

std::vector<LengthClass> groupIntoClasses(std::span<const double> drawnLengths, double lengthFactor,
                                          int32_t step) {
  std::map<int64_t, int32_t> counts;
  for (const double drawn : drawnLengths) {
    ++counts[classLength(flashingLength(drawn, lengthFactor), step)];
  }
  std::vector<LengthClass> classes;
  classes.reserve(counts.size());
  for (const auto& [length, lines] : counts) {
    classes.push_back({length, lines});
  }
  return classes;
}

}  // namespace kvm::workshop
