// Message boxes as the player reads them from the screen: a box shown by another thread is
// found, its text, title, icon and buttons read, and the button pressed is what MessageBoxW
// returns.
#include <gtest/gtest.h>

#include "platform/win32/windows_headers.h"

#include <optional>
#include <string>

#include "platform/win32/player/message_box_reader.h"

namespace kvm::win32 {
namespace {

struct Shown {
  const wchar_t* text;
  const wchar_t* title;
  UINT style;
};

struct BoxThread {
  Shown box;
  int result = 0;

  static DWORD WINAPI run(LPVOID self) {
    auto& thread = *static_cast<BoxThread*>(self);
    thread.result = MessageBoxW(nullptr, thread.box.text, thread.box.title, thread.box.style);
    return 0;
  }
};

// Shows the box on a thread of its own, reads it, presses `answer` and gives back what was
// read and what the box returned.
std::pair<std::optional<ShownMessageBox>, int> showAndAnswer(const Shown& box,
                                                             const std::string& answer) {
  BoxThread thread{box};
  DWORD id = 0;
  HANDLE handle = CreateThread(nullptr, 0, &BoxThread::run, &thread, 0, &id);
  std::optional<ShownMessageBox> read;
  for (int attempt = 0; attempt < 500 && !read; ++attempt) {
    Sleep(10);
    read = findMessageBox(id);
  }
  if (read) {
    EXPECT_TRUE(pressMessageBoxButton(*read, answer));
  }
  EXPECT_EQ(WaitForSingleObject(handle, 10'000), WAIT_OBJECT_0);
  CloseHandle(handle);
  return {read, thread.result};
}

TEST(MessageBoxReader, reads_text_title_icon_and_buttons_and_presses_the_answer) {
  const auto [question, answer] = showAndAnswer(
      {L"\u786E\u5B9A\u5220\u9664\u5417\uFF1F", L"\u5220\u9664", MB_ICONQUESTION | MB_YESNOCANCEL},
      "no");
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, u"\u786E\u5B9A\u5220\u9664\u5417\uFF1F");
  EXPECT_EQ(question->title, u"\u5220\u9664");
  EXPECT_EQ(question->icon, "question");
  EXPECT_EQ(question->buttons, "yesnocancel");
  EXPECT_EQ(answer, IDNO);
}

TEST(MessageBoxReader, tells_every_icon_and_button_set_apart) {
  const struct {
    UINT style;
    const char* icon;
    const char* buttons;
    const char* press;
    int returned;
  } cases[] = {{MB_ICONINFORMATION | MB_OK, "information", "ok", "ok", IDOK},
               {MB_ICONEXCLAMATION | MB_OKCANCEL, "exclamation", "okcancel", "cancel", IDCANCEL},
               {MB_ICONERROR | MB_YESNO, "critical", "yesno", "yes", IDYES},
               {MB_OK, "none", "ok", "ok", IDOK}};
  for (const auto& expected : cases) {
    const auto [read, returned] =
        showAndAnswer({L"text", L"Kavelmor", expected.style}, expected.press);
    ASSERT_TRUE(read) << expected.icon;
    EXPECT_EQ(read->icon, expected.icon);
    EXPECT_EQ(read->buttons, expected.buttons);
    EXPECT_EQ(returned, expected.returned) << expected.icon;
  }
}

TEST(MessageBoxReader, refuses_an_answer_the_box_has_no_button_for) {
  BoxThread thread{{L"text", L"Kavelmor", MB_OK}};
  DWORD id = 0;
  HANDLE handle = CreateThread(nullptr, 0, &BoxThread::run, &thread, 0, &id);
  std::optional<ShownMessageBox> read;
  for (int attempt = 0; attempt < 500 && !read; ++attempt) {
    Sleep(10);
    read = findMessageBox(id);
  }
  ASSERT_TRUE(read);
  EXPECT_FALSE(pressMessageBoxButton(*read, "yes"));
  EXPECT_TRUE(pressMessageBoxButton(*read, "ok"));
  EXPECT_EQ(WaitForSingleObject(handle, 10'000), WAIT_OBJECT_0);
  CloseHandle(handle);
}

TEST(MessageBoxReader, finds_nothing_on_a_thread_without_a_box) {
  EXPECT_FALSE(findMessageBox(GetCurrentThreadId()));
}

}  // namespace
}  // namespace kvm::win32
