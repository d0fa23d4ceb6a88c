#pragma once

#include "base/variant.h"
#include "cutting/cutting_attributes.h"

namespace kvm {

// Piece length and piece count for a group of equal lines (fuhe 1) or for one run of
// sections (any other fuhe). Throws RuntimeError where the arithmetic fails.
Variant splitEqualPieces(const CuttingAttributes& attributes, const Variant& lengths, uint8_t fuhe);

// Piece length and count under the calculation modes 0, 1 and 2.
Variant splitByMode(const CuttingAttributes& attributes, const Variant& lengths, double lengthToCut,
                    uint8_t mode);

// The pair handed back before any computation, and by every failed one.
Variant unsplitPair();

}  // namespace kvm
