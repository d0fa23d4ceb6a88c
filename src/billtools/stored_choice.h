#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kvm {

class SettingsStore;

// Reads a dialog option kept as a whole number in the settings store (`fallback` when the key
// is missing). nullopt when the number lies outside low..high; a value that is no number is
// error 13, as the platform's conversion reports it.
std::optional<int32_t> storedChoice(const SettingsStore& store, std::u16string_view key,
                                    int32_t fallback, int32_t low, int32_t high);

void storeChoice(SettingsStore& store, std::u16string_view key, int32_t value);

}  // namespace kvm
