// Stored settings as another program or an older version may have left them: the values of
// "dang", "dangSel", the bill tools' keys and the registry's "JHML", read by their parsers
// and then by the dialogs that load them (each closed again at once).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "aliases/alias_rules.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "billtools/stored_choice.h"
#include "fuzz/byte_source.h"
#include "fuzz/fuzz_session.h"
#include "storage/memory_settings_store.h"
#include "storage/stored_settings.h"

namespace {

using nlohmann::json;

constexpr std::array<std::u16string_view, 7> kChoiceKeys{
    u"danxian",      u"WriteName",    u"WanShanmode", u"WanShanNum",
    u"WanShanDaiTi", u"WanShanZheng", u"dangSel"};

// One value: bytes up to the next 0xFF; bytes from 0x80 stand for a few Chinese characters so
// that texts of mixed widths come up.
std::u16string nextValue(kvm::fuzz::ByteSource& source) {
  static constexpr std::u16string_view kWide = u"包角屋脊是天蓝色（）";
  std::u16string value;
  while (!source.empty()) {
    const uint8_t byte = source.byte();
    if (byte == 0xFF) {
      break;
    }
    value.push_back(byte < 0x80 ? static_cast<char16_t>(byte) : kWide[byte % kWide.size()]);
  }
  return value;
}

template <typename Read>
void readOrFail(Read read) {
  try {
    read();
  } catch (const kvm::RuntimeError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kvm::fuzz::ByteSource source(std::span(data, size));
  const uint8_t dialog = source.byte();
  const std::u16string dang = nextValue(source);
  const std::u16string aliases = nextValue(source);
  kvm::MemorySettingsStore store;
  json settings{{"dang", kvm::toUtf8(dang)}};
  store.save(u"dang", dang);
  for (const auto key : kChoiceKeys) {
    const auto value = nextValue(source);
    store.save(key, value);
    settings[kvm::toUtf8(key)] = kvm::toUtf8(value);
  }

  readOrFail([&] { (void)kvm::readDang(store); });
  readOrFail([&] { (void)kvm::readDangSel(store); });
  readOrFail([&] { (void)kvm::normaliseStoredAliases(aliases); });
  for (const auto key : kChoiceKeys) {
    readOrFail([&] { (void)kvm::storedChoice(store, key, 1, 0, 3); });
  }

  static constexpr std::array kCalls{
      R"({"call": "kvmset", "args": ["$app", "", null, [], [], null, null], "ui": [["close"]]})",
      R"({"call": "kvmset", "args": ["$app", "", null, [], [], null, null], "ui": [["click", "cmdHelp"], ["click", "cmdClose"], ["close"]]})",
      R"({"call": "peiceng", "args": [["a", "4000", "100", "b", "100", "1", "500", "1"], 0, ["c", "0.5", "100", "350", "2016/3/2"], 0], "ui": [["close"]]})",
      R"({"call": "WanShan", "args": [], "ui": [["close"]]})"};
  std::string script = json{{"settings", settings}}.dump() + "\n" +
                       json{{"registry", {{"JHML", kvm::toUtf8(aliases)}}}}.dump() + "\n" +
                       R"({"answers": ["no", "no", "no"]})"
                       "\n"
                       R"({"create": true})"
                       "\n"
                       R"({"call": "dycjmw", "args": ["$app", 0, 0]})"
                       "\n" +
                       kCalls.at(dialog % kCalls.size()) + "\n";
  kvm::fuzz::playScript(script);
  return 0;
}
