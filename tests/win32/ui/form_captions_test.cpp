#include "platform/win32/ui/form_captions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "aliases/frm_help.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/win32/ui/form_window.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "storage/memory_settings_store.h"
#include "tests/win32/ui/windows_can_show.h"

namespace kvm::win32 {
namespace {

struct Child {
  HWND window;
  std::wstring kind;
  std::wstring text;
  RECT place;
};

// The dialog's own child windows that show with it, placed in the dialog's coordinates.
std::vector<Child> shownChildren(HWND dialog) {
  std::vector<Child> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) == 0) {
      continue;
    }
    wchar_t kind[64]{};
    wchar_t text[128]{};
    GetClassNameW(child, kind, 64);
    GetWindowTextW(child, text, 128);
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);  // NOLINT: 2 corners
    children.push_back({child, kind, text, place});
  }
  return children;
}

const Child* findChild(const std::vector<Child>& children, const std::wstring& text) {
  for (const Child& child : children) {
    if (child.text == text) {
      return &child;
    }
  }
  return nullptr;
}

std::shared_ptr<ProcessContext> freshProcess() {
  auto process = std::make_shared<ProcessContext>();
  process->settings = std::make_shared<MemorySettingsStore>();
  return process;
}

void expectNoOverlaps(const std::vector<Child>& children) {
  for (std::size_t i = 0; i < children.size(); ++i) {
    for (std::size_t j = i + 1; j < children.size(); ++j) {
      RECT common{};
      EXPECT_FALSE(IntersectRect(&common, &children[i].place, &children[j].place) != FALSE)
          << "child " << i << " overlaps child " << j;
    }
  }
}

// Without a screen no window can be made: the dialog says so instead of going on without one.
TEST(FormCaptions, a_dialog_without_its_window_is_an_error_naming_it) {
  if (windowsCanShow()) {
    GTEST_SKIP() << "windows can be made here";
  }
  const auto process = freshProcess();
  FrmSet& settings = frmSet(*process, u"1.2");
  try {
    const FormWindow window(settings, nullptr, [] {});
    ADD_FAILURE() << "a dialog without a window";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), err::kOutOfMemory);
    EXPECT_EQ(error.description().rfind(u"the dialog's window cannot be created", 0), 0U)
        << toUtf8(error.description());
  }
}

// The project boxes get their names above them, the attribute boxes to their left, and no
// caption lands on another control.
TEST(FormCaptions, the_settings_dialogs_boxes_are_named_without_overlapping_anything) {
  const auto process = freshProcess();
  FrmSet& settings = frmSet(*process, u"1.2");
  if (!windowsCanShow()) {
    GTEST_SKIP() << "no windows without a display";
  }
  FormWindow window(settings, nullptr, [] {});
  window.sync();
  const std::vector<Child> children = shownChildren(window.handle());

  // 字高, over the text height's box: the first box below it in its column.
  const Child* textHeight = findChild(children, L"\u5B57\u9AD8");
  ASSERT_NE(textHeight, nullptr);
  const Child* box = nullptr;
  for (const Child& child : children) {
    if (child.kind == L"Edit" && child.place.left == textHeight->place.left &&
        child.place.top >= textHeight->place.bottom &&
        (box == nullptr || child.place.top < box->place.top)) {
      box = &child;
    }
  }
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text, L"300");
  EXPECT_LE(box->place.top - textHeight->place.bottom, 2);

  // 最长下料长度, left of the cut length's box.
  const Child* cutLength = findChild(children, L"\u6700\u957F\u4E0B\u6599\u957F\u5EA6");
  ASSERT_NE(cutLength, nullptr);
  EXPECT_LT(cutLength->place.right, settings.txtXiaLiao.left());
  EXPECT_GT(cutLength->place.bottom, settings.txtXiaLiao.top());
  EXPECT_LT(cutLength->place.top, settings.txtXiaLiao.top() + settings.txtXiaLiao.height());
  expectNoOverlaps(children);
}

TEST(FormCaptions, the_alias_dialog_shows_an_icon_beside_each_command) {
  const auto process = freshProcess();
  FrmHelp& aliases = frmHelp(*process);
  if (!windowsCanShow()) {
    GTEST_SKIP() << "no windows without a display";
  }
  FormWindow window(aliases, nullptr, [] {});
  window.sync();
  const std::vector<Child> children = shownChildren(window.handle());
  int icons = 0;
  for (const Child& child : children) {
    icons += child.kind == L"KavelmorCommandIcon" ? 1 : 0;
  }
  EXPECT_EQ(icons, 4);
  expectNoOverlaps(children);
}

}  // namespace
}  // namespace kvm::win32
