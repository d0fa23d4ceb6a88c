#include "settings/panel_rules.h"

#include <cmath>

#include "base/codepage.h"
#include "base/numbers.h"
#include "base/text.h"
#include "model/attribute_ranges.h"
#include "settings/name_rules.h"

namespace kvm {

namespace {

constexpr std::size_t kMaxColourBytes = 6;

std::optional<double> numberIn(std::u16string_view text, double low, double high) {
  const std::optional<double> value = parseNumber(trimSpaces(text));
  if (!value || !(*value >= low && *value <= high)) {
    return std::nullopt;
  }
  return value;
}

// Does the value survive formatting with this many decimals unchanged?
bool hasAtMostDecimals(double value, int decimals) {
  return parseNumber(formatFixed(value, decimals)) == value;
}

}  // namespace

std::optional<double> wholeNumberIn(std::u16string_view text, double low, double high) {
  const auto value = numberIn(text, low, high);
  if (!value || *value != std::trunc(*value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::u16string> keptThickness(std::u16string_view text) {
  const auto value = numberIn(text, 0.1, 10);
  if (!value || !hasAtMostDecimals(*value, 3)) {
    return std::nullopt;
  }
  return formatUpTo(*value, 3);
}

std::optional<std::u16string> keptFactor(std::u16string_view text) {
  const auto value = numberIn(text, kLengthFactorRange.low, kLengthFactorRange.high);
  if (!value || !hasAtMostDecimals(*value, 2)) {
    return std::nullopt;
  }
  return formatFixed(*value, 2);
}

std::optional<std::u16string> keptColour(std::u16string_view text) {
  auto colour = trimSpaces(text);
  if (colour.empty() || gbkByteLength(colour) > kMaxColourBytes || hasControlCharacter(colour)) {
    return std::nullopt;
  }
  return colour;
}

std::optional<std::u16string> keptProjectName(std::u16string_view text) {
  auto name = trimSpaces(text);
  if (name.empty() || hasControlCharacter(name)) {
    return std::nullopt;
  }
  return name;
}

}  // namespace kvm
