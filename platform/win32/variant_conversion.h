#pragma once

#include "platform/win32/windows_headers.h"

#include "base/variant.h"
#include "platform/win32/com_variant.h"

namespace kvm::win32 {

// Automation values between the core and COM, both ways, with their exact types: Integer is
// VT_I2, Long VT_I4, an array of Doubles VT_ARRAY | VT_R8, and an array-typed value holding
// no array is VT_ARRAY with a null SAFEARRAY. Objects cross through the two dispatch adapters.

// Reads a VARIANT (by-reference values are followed). Types the core has no place for are
// converted as late binding would (dates, currency and decimals to Double, other integers to
// Long or Double); what cannot be converted is Type mismatch, a missing argument 449.
Variant fromComVariant(const VARIANT& value);

ComVariant toComVariant(const Variant& value);

// Stores a value into a by-reference argument (VT_BYREF | T), converting it to T as the
// callee's late binding would; an argument that is not by reference is left alone.
void writeBack(const VARIANT& argument, const Variant& value);

VARTYPE comTypeOf(VarType type);  // the VARTYPE of a core type (Variant: VT_VARIANT)

}  // namespace kvm::win32
