#pragma once

#include <nlohmann/json.hpp>

#include "fuzz/byte_source.h"

namespace kvm::fuzz {

// An automation value as a host script writes it, of any type and shape the host could pass:
// tagged numbers at and beyond their ranges, non-finite reals, texts with separators and
// Chinese characters, typed and Variant arrays of any lower bound (nested up to `depth`),
// arrays holding nothing, the host's application object.
nlohmann::json automationValue(ByteSource& source, int depth = 2);

}  // namespace kvm::fuzz
