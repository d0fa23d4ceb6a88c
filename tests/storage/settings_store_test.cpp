#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "storage/file_access.h"
#include "storage/json_settings_store.h"
#include "storage/memory_settings_store.h"
#include "temp_folder.h"

namespace kvm {
namespace {

TEST(settings_store_test, a_missing_key_reads_as_the_default) {
  MemorySettingsStore store;
  EXPECT_EQ(store.get(u"dang", u"fallback"), u"fallback");
  store.save(u"dang", u"");
  EXPECT_EQ(store.get(u"dang", u"fallback"), u"");
  store.remove(u"dang");
  EXPECT_EQ(store.get(u"dang", u"fallback"), u"fallback");
}

TEST(settings_store_test, keys_ignore_ascii_case) {
  MemorySettingsStore store;
  store.save(u"dangSel", u"1,2,3");
  EXPECT_EQ(store.get(u"DANGSEL", u""), u"1,2,3");
  store.save(u"dangsel", u"0,0,0");
  EXPECT_EQ(store.snapshot().settings.size(), 1U);
  EXPECT_EQ(store.get(u"dangSel", u""), u"0,0,0");
}

TEST(settings_store_test, the_registry_key_exists_only_once_written) {
  MemorySettingsStore store;
  EXPECT_EQ(store.registryGet(u"JHML"), std::nullopt);
  EXPECT_FALSE(store.snapshot().registry.has_value());
  store.registrySet(u"JHML", u"BL PC WS DX");
  EXPECT_EQ(store.registryGet(u"JHML"), u"BL PC WS DX");
  EXPECT_EQ(store.registryGet(u"other"), std::nullopt);
  store.registryRemove(u"JHML");
  EXPECT_EQ(store.registryGet(u"JHML"), std::nullopt);
  EXPECT_TRUE(store.snapshot().registry.has_value());
}

TEST(settings_store_test, a_registry_read_sees_300_bytes_up_to_the_first_zero) {
  MemorySettingsStore store;
  store.registrySet(u"long", std::u16string(200, u'包'));  // 400 bytes
  EXPECT_EQ(store.registryGet(u"long"), std::u16string(150, u'包'));
  // A cut through a character leaves its lone lead byte.
  store.registrySet(u"odd", u"a" + std::u16string(200, u'包'));
  EXPECT_EQ(store.registryGet(u"odd"), u"a" + std::u16string(149, u'包') + u"\uFFFD");
  store.registrySet(u"zero", std::u16string(u"BL\0PC", 5));
  EXPECT_EQ(store.registryGet(u"zero"), u"BL");
}

TEST(settings_store_test, the_json_store_keeps_values_across_instances) {
  TempFolder folder;
  const auto place = folder / "config" / "kavelmor";
  {
    JsonSettingsStore store(place);
    EXPECT_FALSE(std::filesystem::exists(store.file()));
    store.save(u"dang",
               u"示范工程车间一\x01"
               u"0.5\x01"
               u"300\x01"
               u"300\x01"
               u"A:b,c");
    store.registrySet(u"JHML", u"BL PC WS DX");
  }
  JsonSettingsStore again(place);
  EXPECT_EQ(again.get(u"dang", u""),
            u"示范工程车间一\x01"
            u"0.5\x01"
            u"300\x01"
            u"300\x01"
            u"A:b,c");
  EXPECT_EQ(again.registryGet(u"JHML"), u"BL PC WS DX");

  const auto document = nlohmann::json::parse(readWholeFile(place / "settings.json"));
  EXPECT_EQ(document["registry"]["JHML"], "BL PC WS DX");
  EXPECT_EQ(document["settings"]["dang"].get<std::string>().substr(0, 21), "示范工程车间一");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(place), {}), 1);
}

TEST(settings_store_test, a_malformed_json_file_reads_as_empty_and_is_kept_aside) {
  TempFolder folder;
  for (const char* content : {"{not json", R"({"settings": {"dang": 5}})", "[1, 2]"}) {
    std::ofstream(folder / "settings.json") << content;
    JsonSettingsStore store(folder.path());
    EXPECT_EQ(store.get(u"dang", u"d"), u"d");
    ASSERT_TRUE(store.movedAside().has_value());
    EXPECT_EQ(readWholeFile(*store.movedAside()), content);
    store.save(u"k", u"v");
    EXPECT_EQ(JsonSettingsStore(folder.path()).get(u"k", u""), u"v");
    std::filesystem::remove(folder / "settings.json");
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "settings.json.bad"));
  EXPECT_TRUE(std::filesystem::exists(folder / "settings.json.bad.1"));
  EXPECT_TRUE(std::filesystem::exists(folder / "settings.json.bad.2"));
}

TEST(settings_store_test, a_json_store_without_a_registry_has_no_key) {
  TempFolder folder;
  std::ofstream(folder / "settings.json") << R"({"settings": {"a": "b"}})";
  const JsonSettingsStore store(folder.path());
  EXPECT_FALSE(store.movedAside().has_value());
  EXPECT_EQ(store.get(u"A", u""), u"b");
  EXPECT_FALSE(store.snapshot().registry.has_value());
}

}  // namespace
}  // namespace kvm
