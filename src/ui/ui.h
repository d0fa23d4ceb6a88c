#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvm {

class Form;
class MenuItem;

enum class MsgIcon : uint8_t { None, Information, Question, Exclamation, Critical };
enum class MsgButtons : uint8_t { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer : uint8_t { Ok, Cancel, Yes, No };

struct CalendarDate {
  int year = 2000;
  int month = 1;
  int day = 1;
};

struct ScreenSize {
  int32_t width = 1920;  // pixels
  int32_t height = 1080;
};

// What the component asks of the desktop it runs on: message boxes, the keyboard, the window
// list, the clock, and the windows of its dialogs. The scripted backend answers from a host
// script, the Win32 one from the real desktop.
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

  // Dialogs. The desktop hears of every form that loads and unloads, so that it can list them
  // and give them windows; a form object that goes away while loaded is forgotten quietly.
  virtual void formLoaded(Form& form);
  virtual void formUnloaded(Form& form);
  virtual void forgetForm(Form& form);
  // Shows the form modally; returns once the form is hidden or unloaded. A desktop without
  // dialogs refuses with error 5.
  virtual void showModal(Form& form);
  virtual void formHidden(Form& form);
  virtual void setWindowTopmost(Form& form, bool topmost);
  // Brings the top-level window with exactly this title to the front; error 5 when there is
  // none.
  virtual void activateWindow(std::u16string_view title);
  // Opens a context menu at the cursor; its items' Click handlers run when the user picks one.
  virtual void popupMenu(Form& form, MenuItem& menu);
  [[nodiscard]] virtual ScreenSize screenSize();
};

// The box every error handler shows: the description, information icon, OK, no title.
void showErrorDescription(Ui& ui, std::u16string_view description);

// A plain message: information icon, OK, the given title or none.
void showMessage(Ui& ui, std::u16string_view text,
                 const std::optional<std::u16string>& title = std::nullopt);

}  // namespace kvm
