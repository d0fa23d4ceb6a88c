#include <gtest/gtest.h>

#include "platform/win32/registry_key.h"
#include "platform/win32/registry_settings_store.h"

namespace kvm::win32 {
namespace {

constexpr const wchar_t* kComponentKey = L"Software\\Microsoft\\DuZedoZadavezo\\KAVELMOR";
constexpr const wchar_t* kApplicationKey = L"Software\\VB and VBA Program Settings\\kavelmor";

class RegistrySettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override { clear(); }
  void TearDown() override { clear(); }
  static void clear() {
    deleteKeyTree(HKEY_CURRENT_USER, kComponentKey);
    deleteKeyTree(HKEY_CURRENT_USER, kApplicationKey);
  }
};

TEST_F(RegistrySettingsStoreTest, settings_live_where_the_platforms_own_calls_keep_them) {
  RegistrySettingsStore store;
  EXPECT_EQ(store.get(u"dang", u"none"), u"none");
  store.save(u"dang",
             u"项目\u0001"
             u"0.6\u0001"
             u"100\u0001"
             u"3.5");
  store.save(u"dangSel", u"0,0,-1");
  EXPECT_EQ(store.get(u"DANG", u""),
            u"项目\u0001"
            u"0.6\u0001"
            u"100\u0001"
            u"3.5");

  // The section "\" adds nothing to the path: the values are in the application's key.
  RegistryKey key;
  ASSERT_EQ(RegistryKey::open(HKEY_CURRENT_USER, kApplicationKey, KEY_READ, key), ERROR_SUCCESS);
  EXPECT_EQ(key.queryString(L"dangSel"), std::optional<std::wstring>(L"0,0,-1"));

  store.remove(u"dangSel");
  EXPECT_EQ(store.get(u"dangSel", u"gone"), u"gone");
  const SettingsSnapshot snapshot = store.snapshot();
  EXPECT_EQ(snapshot.settings.size(), 1U);
  EXPECT_EQ(snapshot.settings.count(u"dang"), 1U);
  EXPECT_FALSE(snapshot.registry.has_value());
}

TEST_F(RegistrySettingsStoreTest, the_component_key_holds_JHML_read_through_300_bytes) {
  RegistrySettingsStore store;
  EXPECT_FALSE(store.registryGet(u"JHML").has_value());
  store.registrySet(u"JHML", u"KL\u0002KavelmorList");
  EXPECT_EQ(store.registryGet(u"JHML"), std::optional<std::u16string>(u"KL\u0002KavelmorList"));

  // 160 Chinese characters are 320 GBK bytes; a read sees the first 300, 150 characters.
  const std::u16string longText(160, u'包');
  store.registrySet(u"JHML", longText);
  EXPECT_EQ(store.registryGet(u"JHML"), std::optional<std::u16string>(std::u16string(150, u'包')));

  RegistryKey key;
  ASSERT_EQ(RegistryKey::open(HKEY_CURRENT_USER, kComponentKey, KEY_READ | KEY_WOW64_64KEY, key),
            ERROR_SUCCESS);
  EXPECT_TRUE(key.queryString(L"JHML").has_value());

  const SettingsSnapshot snapshot = store.snapshot();
  ASSERT_TRUE(snapshot.registry.has_value());
  EXPECT_EQ(snapshot.registry->count(u"jhml"), 1U);
  store.registryRemove(u"JHML");
  EXPECT_FALSE(store.registryGet(u"JHML").has_value());
}

TEST_F(RegistrySettingsStoreTest, a_session_can_start_from_nothing) {
  RegistrySettingsStore store;
  store.save(u"danxian", u"2");
  store.registrySet(u"JHML", u"x");
  store.removeAll();
  const SettingsSnapshot snapshot = store.snapshot();
  EXPECT_TRUE(snapshot.settings.empty());
  EXPECT_FALSE(snapshot.registry.has_value());
}

}  // namespace
}  // namespace kvm::win32
