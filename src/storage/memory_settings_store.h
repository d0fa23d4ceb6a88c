#pragma once

#include "storage/settings_store.h"

namespace kvm {

// A settings store held in memory; the base of the stores that persist elsewhere, which
// override persist().
class MemorySettingsStore : public SettingsStore {
 public:
  MemorySettingsStore() = default;
  explicit MemorySettingsStore(SettingsSnapshot contents) : contents_(std::move(contents)) {}

  [[nodiscard]] std::u16string get(std::u16string_view key,
                                   std::u16string_view defaultValue) const override;
  void save(std::u16string_view key, std::u16string_view value) override;
  void remove(std::u16string_view key) override;

  [[nodiscard]] std::optional<std::u16string> registryGet(std::u16string_view name) const override;
  void registrySet(std::u16string_view name, std::u16string_view value) override;
  void registryRemove(std::u16string_view name) override;

  [[nodiscard]] SettingsSnapshot snapshot() const override { return contents_; }

 protected:
  // Called after every change; the change stays in memory even when this throws.
  virtual void persist() {}
  [[nodiscard]] const SettingsSnapshot& contents() const noexcept { return contents_; }
  void replaceContents(SettingsSnapshot contents) { contents_ = std::move(contents); }

 private:
  SettingsSnapshot contents_;
};

}  // namespace kvm
