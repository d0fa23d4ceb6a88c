#pragma once

#include "base/variant.h"
#include "model/flashing.h"

namespace kvm {

// Slots per mark in the host's flat mark arrays.
inline constexpr int32_t kDimensionMarkSlots = 13;
inline constexpr int32_t kTextMarkSlots = 4;

// The number of whole marks a flat mark array carries: (upper bound + 1) \ slots. Empty and
// unallocated count as no marks; a value that is no array at all is error 13.
int64_t markCount(const Variant& marks, int32_t slotsPerMark);

// The flashing with its profile replaced by the arrays of a capture return (start point
// `pDing`, `lstLen`, `lstAg`, `lstdim`, `lstxt`). A capture without marks stores allocated,
// empty mark arrays. Any conversion failure raises before anything is changed, so the
// caller's flashing is either fully updated or untouched. `DevelopedWidth` and `ScaleCode`
// come from the capture text and are the caller's.
Flashing withCapturedProfile(const Flashing& flashing, const Variant& pDing, const Variant& lstLen,
                             const Variant& lstAg, const Variant& lstdim, const Variant& lstxt);

}  // namespace kvm
