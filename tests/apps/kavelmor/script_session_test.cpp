// A component made elsewhere (through COM) keeps its own stores; the session must act on the
// ones it is given, not on its home folder's.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "apps/kavelmor/script/script_session.h"
#include "storage/memory_settings_store.h"

namespace kvm::script {
namespace {

namespace fs = std::filesystem;

class EchoComponent final : public Dispatch {
 public:
  Variant invoke(std::u16string_view /*name*/, InvokeKind /*kind*/,
                 std::vector<Variant>& /*args*/) override {
    return Variant(u"ok");
  }
  [[nodiscard]] std::u16string typeName() const override { return u"clsKavelmor"; }
};

class ScriptSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() /
        ("kavelmor-session-" + std::to_string(testing::UnitTest::GetInstance()->random_seed()) +
         "-" + testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "home");
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(ScriptSessionTest, given_stores_replace_those_of_the_home_folder) {
  auto store = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ProcessContext> seen;
  SessionOptions options;
  options.home = folder_ / "home";
  options.settings = store;
  options.programDirectoryRoot = folder_ / "drive";
  options.createComponent = [&seen](std::shared_ptr<ProcessContext> process) -> DispatchPtr {
    seen = std::move(process);
    return std::make_shared<EchoComponent>();
  };
  std::istringstream script(R"({"settings": {"Key": "value"}}
{"registry": {"JHML": "text"}}
{"files": {"put": {"a.bin": {"hex": "00ff"}}}}
{"create": true}
{"call": "anything"}
{"dump": "settings"}
)");
  std::ostringstream events;

  ASSERT_EQ(runScript(script, events, options), 0) << events.str();

  EXPECT_EQ(store->get(u"Key", u""), u"value");
  EXPECT_EQ(store->registryGet(u"JHML"), u"text");
  EXPECT_TRUE(fs::is_regular_file(folder_ / "drive" / "QORNCAD" / "a.bin"));
  EXPECT_TRUE(fs::is_empty(folder_ / "home")) << "nothing of the session belongs in home";
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->settings, store);
  EXPECT_EQ(seen->programDirectoryRoot, folder_ / "drive");
  EXPECT_TRUE(seen->ui);
  EXPECT_NE(events.str().find(R"({"call":"anything","result":"ok"})"), std::string::npos);
  EXPECT_NE(events.str().find(R"({"registry":{"JHML":"text"},"settings":{"Key":"value"}})"),
            std::string::npos)
      << events.str();
}

TEST_F(ScriptSessionTest, without_given_stores_the_home_folder_holds_everything) {
  SessionOptions options;
  options.home = folder_ / "home";
  std::istringstream script(R"({"settings": {"Key": "value"}}
{"files": {"put": {"a.bin": {"hex": "00"}}}}
)");
  std::ostringstream events;

  ASSERT_EQ(runScript(script, events, options), 0) << events.str();

  EXPECT_TRUE(fs::is_regular_file(folder_ / "home" / "QORNCAD" / "a.bin"));
  EXPECT_FALSE(fs::exists(folder_ / "drive"));
  std::size_t settingsFiles = 0;
  for (const auto& entry : fs::directory_iterator(folder_ / "home")) {
    settingsFiles += entry.is_regular_file() ? 1U : 0U;
  }
  EXPECT_EQ(settingsFiles, 1U) << "the settings store is a file inside home";
}

}  // namespace
}  // namespace kvm::script
