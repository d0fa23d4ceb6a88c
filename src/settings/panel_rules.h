#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvm {

// The rules of the values typed into the settings dialog. Each reads the trimmed text and
// gives the value to keep, or nothing when the text is refused.

// A number within [low, high] that equals its integer part.
std::optional<double> wholeNumberIn(std::u16string_view text, double low, double high);

// The plate thickness: 0.1 to 10 with at most 3 decimals, kept as "0.###" text.
std::optional<std::u16string> keptThickness(std::u16string_view text);

// The line-length factor: 0.5 to 2 with at most 2 decimals, kept as "0.00" text.
std::optional<std::u16string> keptFactor(std::u16string_view text);

// The colour: not empty, at most 6 GBK bytes (3 Chinese characters) and no control character,
// which would split the bill record; kept trimmed.
std::optional<std::u16string> keptColour(std::u16string_view text);

// The project name: not empty and no control character, which would split the stored
// settings and the bill record; kept trimmed.
std::optional<std::u16string> keptProjectName(std::u16string_view text);

}  // namespace kvm
