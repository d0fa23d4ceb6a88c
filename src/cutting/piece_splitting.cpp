#include "cutting/piece_splitting.h"

#include <cmath>

#include "base/numbers.h"
#include "base/runtime_error.h"

namespace kvm {

namespace {

// The maximum share of length a piece takes before its overlap, in 16-bit arithmetic.
int16_t shareLimit(const CuttingAttributes& attributes) {
  const int32_t share = int32_t{attributes.maxCutLength} - attributes.overlap;
  if (share < INT16_MIN || share > INT16_MAX) {
    raise(err::kOverflow);
  }
  return static_cast<int16_t>(share);
}

// Real division as the platform performs it: a zero divisor is an error, never an infinity.
double divide(double dividend, double divisor) {
  if (divisor == 0) {
    raise(dividend == 0 || std::isnan(dividend) ? err::kOverflow : err::kDivisionByZero);
  }
  const double quotient = dividend / divisor;
  if (!std::isfinite(quotient)) {
    raise(err::kOverflow);
  }
  return quotient;
}

// The whole part, plus one when anything is left over: the ceiling for positive values.
double up(double value) {
  const double whole = std::trunc(value);
  return value - whole > 0 ? whole + 1 : whole;
}

int32_t round0(double value) {
  return toLongRounded(roundPattern(value, 0));
}

// The lengths are read by index from 0 and counted as the upper bound plus one: an array that
// starts elsewhere, or has more dimensions, cannot be read that way.
const ArrayValue& zeroBased(const Variant& lengths) {
  if (!lengths.isArray()) {
    raise(err::kTypeMismatch);
  }
  const auto& array = lengths.arrayValue();
  if (!array.allocated || array.dimensionCount() != 1 || array.lowerBound != 0) {
    raise(err::kSubscriptOutOfRange);
  }
  return array;
}

double firstLength(const Variant& lengths) {
  zeroBased(lengths);
  return toDouble(element(lengths, 0));
}

int32_t elementCount(const Variant& lengths) {
  return zeroBased(lengths).upperBound() + 1;
}

Variant pair(int32_t length, Variant count) {
  return Variant::array(VarType::Variant, {Variant(length), std::move(count)});
}

}  // namespace

Variant unsplitPair() {
  return Variant::array(VarType::Variant, {Variant(int16_t{1}), Variant(int16_t{1})});
}

Variant splitEqualPieces(const CuttingAttributes& attributes, const Variant& lengths,
                         uint8_t fuhe) {
  const double share = shareLimit(attributes);
  if (fuhe == 1) {
    const double lineLength = firstLength(lengths);
    const int32_t lines = elementCount(lengths);
    if (lineLength > attributes.maxCutLength) {
      const double pieces = up(divide(lineLength, share));
      const int32_t length = round0(divide(lineLength, pieces) + attributes.overlap);
      return pair(length, toLongRounded(lines * pieces));
    }
    return pair(toLongRounded(lineLength), lines);
  }

  double run = 0;
  for (const auto& section : zeroBased(lengths).elements) {
    run += toDouble(section);
  }
  const double pieces = up(divide(run, share));
  const int32_t length = round0(divide(run, pieces) + attributes.overlap);
  return pair(length, toLongRounded(pieces));
}

Variant splitByMode(const CuttingAttributes& attributes, const Variant& lengths, double lengthToCut,
                    uint8_t mode) {
  const double maxLength = attributes.maxCutLength;
  switch (mode) {
    case 0: {
      const double withExtension = firstLength(lengths) + attributes.endExtension;
      if (withExtension <= maxLength) {
        return pair(toLongRounded(withExtension), static_cast<double>(elementCount(lengths)));
      }
      const double pieces = up(divide(lengthToCut, shareLimit(attributes)));
      return pair(round0(divide(lengthToCut, pieces) + attributes.overlap), pieces);
    }
    case 1: {
      const double lineLength = firstLength(lengths);
      if (lineLength <= maxLength) {
        return pair(toLongRounded(lineLength), static_cast<double>(elementCount(lengths)));
      }
      return pair(attributes.maxCutLength,
                  roundPattern(divide(lengthToCut, shareLimit(attributes)), 1));
    }
    case 2:
      if (lengthToCut <= maxLength) {
        return pair(round0(lengthToCut), 1.0);
      }
      return pair(attributes.maxCutLength,
                  roundPattern(divide(lengthToCut, shareLimit(attributes)), 1));
    default: return pair(0, 0.0);
  }
}

}  // namespace kvm
