#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvm {

enum class MsgIcon : uint8_t { None, Information, Question, Exclamation, Critical };
enum class MsgButtons : uint8_t { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer : uint8_t { Ok, Cancel, Yes, No };

struct CalendarDate {
  int year = 2000;
  int month = 1;
  int day = 1;
};

// What the component asks of the desktop it runs on: message boxes, the keyboard, the window
// list, the clock. The scripted backend answers from a host script, the Win32 one from the
// real desktop.
class Ui {
public:
  Ui() = default;
  Ui(const Ui&) = delete;
  Ui& operator=(const Ui&) = delete;
  Ui(Ui&&) = delete;
  Ui& operator=(Ui&&) = delete;
  virtual ~Ui() = default;

  // A box without a title shows the application's name as its title.
  virtual MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>& title,
                               MsgIcon icon, MsgButtons buttons) = 0;

  [[nodiscard]] virtual bool shiftDown() = 0;

  // Is there a top-level window, after the given one in the window order, whose title is
  // exactly this text?
  [[nodiscard]] virtual bool topLevelWindowAfter(std::intptr_t afterWindow,
                                                 std::u16string_view title) = 0;

  [[nodiscard]] virtual CalendarDate today() = 0;
};

// The box every error handler shows: the description, information icon, OK, no title.
void showErrorDescription(Ui& ui, std::u16string_view description);

}  // namespace kvm
