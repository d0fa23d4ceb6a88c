#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/settings_state.h"
#include "storage/memory_settings_store.h"
#include "tests/ui/test_ui.h"

namespace kvm::testing {

// The settings dialog of a process of its own, on the built-in database in a fresh program
// directory; message boxes go to the test desktop.
class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest()
      : folder_(std::filesystem::temp_directory_path() /
                ("kvm-settings-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    process_->ui = ui_;
    process_->settings = settings_;
    process_->programDirectory = folder_;
  }
  ~SettingsDialogTest() override {
    process_.reset();
    std::filesystem::remove_all(folder_);
  }

  FrmSet& form() { return frmSet(*process_, u"1.2"); }
  SettingsState& state() { return settingsState(*process_); }
  // The text of the last message box, empty when none was shown.
  [[nodiscard]] std::u16string lastBox() const {
    return ui_->boxes.empty() ? std::u16string() : ui_->boxes.back().text;
  }

  std::filesystem::path folder_;
  std::shared_ptr<TestUi> ui_ = std::make_shared<TestUi>();
  std::shared_ptr<MemorySettingsStore> settings_ = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ProcessContext> process_ = std::make_shared<ProcessContext>();
};

}  // namespace kvm::testing
