#include "billtools/stored_choice.h"

#include "base/text.h"
#include "base/variant.h"
#include "storage/settings_store.h"

namespace kvm {

std::optional<int32_t> storedChoice(const SettingsStore& store, std::u16string_view key,
                                    int32_t fallback, int32_t low, int32_t high) {
  const int32_t value = toLong(Variant(store.get(key, decimal(fallback))));
  if (value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

void storeChoice(SettingsStore& store, std::u16string_view key, int32_t value) {
  store.save(key, decimal(value));
}

}  // namespace kvm
