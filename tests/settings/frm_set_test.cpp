#include "settings/frm_set.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "session/process.h"
#include "settings/kvmset.h"
#include "settings/settings_state.h"
#include "storage/memory_settings_store.h"
#include "storage/stored_settings.h"
#include "tests/ui/test_ui.h"

namespace kvm {
namespace {

namespace fs = std::filesystem;
using testing::TestUi;

Variant point(int32_t x, int32_t y) {
  return Variant::array(VarType::Variant, {x, y});
}

// A linear dimension and a text mark as the host hands them over, `count` of each.
Variant dimensionSlots(int count) {
  std::vector<Variant> slots;
  for (int i = 0; i < count; ++i) {
    const std::vector<Variant> mark{int32_t{0},   u"",        int32_t{33}, u"30",      point(i, 0),
                                    int32_t{0},   0.5,        int32_t{0},  int32_t{1}, point(0, 0),
                                    point(10, 0), int32_t{0}, int32_t{0}};
    slots.insert(slots.end(), mark.begin(), mark.end());
  }
  return Variant::array(VarType::Variant, std::move(slots));
}

Variant textSlots(int count, const Variant& position = point(0, 0)) {
  std::vector<Variant> slots;
  for (int i = 0; i < count; ++i) {
    const std::vector<Variant> mark{u"*", 0.1, 0.8, position};
    slots.insert(slots.end(), mark.begin(), mark.end());
  }
  return Variant::array(VarType::Variant, std::move(slots));
}

std::vector<Variant> profile(Variant dimensions, Variant texts) {
  return {point(-100, 50), Variant::array(VarType::Integer, {int16_t{1000}, int16_t{500}}),
          Variant::array(VarType::Double, {0.0, 1.5}), std::move(dimensions), std::move(texts)};
}

class FrmSetTest : public ::testing::Test {
 protected:
  FrmSetTest()
      : folder_(fs::temp_directory_path() /
                ("kvm-frmset-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    process_->ui = ui_;
    process_->settings = settings_;
    process_->programDirectory = folder_;
  }
  ~FrmSetTest() override {
    process_.reset();
    fs::remove_all(folder_);
  }

  FrmSet& form() { return frmSet(*process_, u"1.2"); }
  // The settings call with a capture return, as the host makes it.
  Variant capture(std::u16string request, std::vector<Variant> arrays) {
    std::vector<Variant> args{Variant(), std::move(request)};
    args.insert(args.end(), arrays.begin(), arrays.end());
    return kvmset(*process_, u"1.2", args);
  }
  SettingsState& state() { return settingsState(*process_); }
  Flashing& ridge() { return state().libraries[0].Flashings[0]; }

  fs::path folder_;
  std::shared_ptr<TestUi> ui_ = std::make_shared<TestUi>();
  std::shared_ptr<MemorySettingsStore> settings_ = std::make_shared<MemorySettingsStore>();
  std::shared_ptr<ProcessContext> process_ = std::make_shared<ProcessContext>();
};

TEST_F(FrmSetTest, a_fresh_load_selects_the_first_library_and_flashing) {
  form().load();
  EXPECT_EQ(form().caption().substr(0, 14), u"Kavelmor设置V1.2");
  EXPECT_EQ(form().lstCangKu.listCount(), 6);
  EXPECT_EQ(form().lstErJi.text(), u"屋脊包角");
  EXPECT_EQ(form().txtXiaLiao.text(), u"4000");
  EXPECT_EQ(form().lbSc.caption(), u"1:10");
  EXPECT_EQ(settings_->get(kDangSelKey, u""), u"0,0,0");
  EXPECT_TRUE(ui_->boxes.empty());
}

TEST_F(FrmSetTest, a_capture_counts_its_marks_in_wide_integers) {
  form().load();
  capture(u"dao 480 1:20", profile(dimensionSlots(20), textSlots(64)));
  EXPECT_EQ(ridge().DimensionMarks.size(), 20U);
  EXPECT_EQ(ridge().TextMarks.size(), 64U);
  EXPECT_EQ(ridge().DevelopedWidth, 480);
  EXPECT_EQ(ridge().ScaleCode, 2);
  EXPECT_EQ(ridge().SegmentLengths, (DynamicArray<int16_t>{1000, 500}));
  EXPECT_EQ(ridge().StartX, -100);
  EXPECT_TRUE(state().modified);
  EXPECT_TRUE(ui_->boxes.empty());
}

TEST_F(FrmSetTest, a_capture_without_marks_stores_empty_mark_arrays) {
  form().load();
  capture(u"dao 500 1:10", profile(Variant(), Variant()));
  EXPECT_TRUE(ridge().DimensionMarks.isAllocated());
  EXPECT_EQ(ridge().DimensionMarks.size(), 0U);
  EXPECT_TRUE(ridge().TextMarks.isAllocated());
  EXPECT_EQ(ridge().TextMarks.size(), 0U);
  EXPECT_TRUE(ui_->boxes.empty());
}

TEST_F(FrmSetTest, a_capture_without_a_library_fails_with_overflow_and_stores_nothing) {
  form().load();
  form().lstCangKu.setListIndex(-1);
  const LibraryTable before = state().libraries;
  process_->resultString = u"dao彩钢板屋面|屋脊包角";
  EXPECT_EQ(capture(u"dao 500 1:10", profile(dimensionSlots(1), textSlots(1))),
            Variant(u"dao彩钢板屋面|屋脊包角"));
  EXPECT_FALSE(form().isShown());
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"Overflow");
  EXPECT_EQ(state().libraries, before);
  EXPECT_FALSE(state().modified);
}

TEST_F(FrmSetTest, a_capture_that_fails_on_its_last_mark_stores_nothing_of_it) {
  form().load();
  const Flashing before = ridge();
  std::vector<Variant> marks = profile(dimensionSlots(2), textSlots(2));
  marks[4].arrayValue().elements.back() = Variant(u"no point");
  capture(u"dao 500 1:10", marks);
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].text, u"Type mismatch");
  EXPECT_EQ(ridge(), before);
}

TEST_F(FrmSetTest, the_panel_is_stored_and_marked_only_when_it_differs) {
  form().load();
  EXPECT_TRUE(form().Save2(true));
  EXPECT_FALSE(state().modified);
  form().txtDaJie.setText(u" 150 ");
  form().txtZheSuan.setText(u"1.5");
  EXPECT_TRUE(form().Save2(true));
  EXPECT_TRUE(state().modified);
  EXPECT_EQ(ridge().Overlap, 150);
  EXPECT_EQ(ridge().LengthFactor, 1.5F);
}

TEST_F(FrmSetTest, a_full_save_keeps_the_formatted_thickness_and_the_typed_texts_as_tags) {
  form().load();
  form().txtHou.setText(u"0.50");
  ASSERT_TRUE(form().Save2(false));
  EXPECT_EQ(settings_->get(kDangKey, u""),
            u"示范工程车间一\x01"
            u"0.5\x01"
            u"300\x01"
            u"300");
  EXPECT_EQ(form().txtHou.tag(), u"0.50");
  EXPECT_FALSE(state().modified);
  EXPECT_TRUE(form().lbCheng.visible());
  EXPECT_EQ(form().Timer1.tag(), u"save");
}

TEST_F(FrmSetTest, a_refused_project_value_selects_six_characters_and_saves_nothing) {
  form().load();
  form().txtDeng.setText(u"300.5 mm");
  EXPECT_FALSE(form().Save2(false));
  ASSERT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ui_->boxes[0].title, std::u16string(u"包角线长度分类等级"));
  EXPECT_EQ(form().focus(), &form().txtDeng);
  EXPECT_EQ(form().txtDeng.selLength(), 6);
  EXPECT_EQ(settings_->get(kDangKey, u"none"), u"none");
}

TEST_F(FrmSetTest, a_failed_write_keeps_the_edit_marked_as_modified) {
  form().load();
  fs::remove(folder_ / "Kavelmor.dat");
  fs::create_directories(folder_ / "Kavelmor.dat" / "in the way");
  form().cboColor.setText(u"红色");
  EXPECT_FALSE(form().Save2(false));
  EXPECT_EQ(ui_->boxes.size(), 1U);
  EXPECT_EQ(ridge().Color, u"红色");
  EXPECT_TRUE(state().modified);
}

TEST_F(FrmSetTest, the_unload_stores_the_three_selections) {
  form().load();
  form().lstErJi.setListIndex(3);
  ASSERT_TRUE(form().Save2(false));
  ASSERT_TRUE(form().unload());
  EXPECT_EQ(settings_->get(kDangSelKey, u""), u"-1,0,3");
  EXPECT_EQ(process_->resultString, u"c");
}

}  // namespace
}  // namespace kvm
