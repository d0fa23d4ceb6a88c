// Shows each dialog on the real desktop with sample data and saves a picture of its window:
// dialog_shots.exe OUTPUT_FOLDER writes NAME.bmp per dialog.

#include "platform/win32/windows_headers.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "aliases/frm_help.h"
#include "base/variant.h"
#include "billtools/frm_pei_ceng.h"
#include "billtools/frm_wan_shan.h"
#include "cutting/length_check/frm_check.h"
#include "platform/script/event_sink.h"
#include "platform/sim/host/sim_host.h"
#include "platform/win32/ui/form_desktop.h"
#include "session/process.h"
#include "settings/frm_add.h"
#include "settings/frm_re_name.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/settings_state.h"
#include "storage/memory_settings_store.h"
#include "tests/win32/ui/bitmap_file.h"
#include "ui/form.h"

namespace {

namespace fs = std::filesystem;

// The host's events are of no interest to a picture.
class NoEvents final : public kvm::script::EventSink {
 public:
  void emit(nlohmann::json /*event*/) override {}
};

// Waits for the window to be painted, then copies it from the screen.
constexpr UINT kSettleMilliseconds = 1200;
// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;
constexpr const wchar_t* kTakerClass = L"KavelmorShotTaker";

bool captureWindow(HWND window, const fs::path& file) {
  RECT place{};
  if (window == nullptr || GetWindowRect(window, &place) == FALSE) {
    return false;
  }
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ before = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
  SelectObject(memory, before);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : pixels) {
    pixel &= 0xFFFFFFU;
  }
  kvm::testing::writeBitmap(file, kvm::testing::Bitmap{width, height, std::move(pixels)});
  return true;
}

// A hidden window whose timer takes the picture while the dialog's modal loop runs, then lets
// the dialog go.
class ShotTaker {
 public:
  explicit ShotTaker(std::function<void()> take) : take_(std::move(take)) {
    WNDCLASSEXW taker{};
    taker.cbSize = sizeof(taker);
    taker.lpfnWndProc = &procedure;
    taker.hInstance = GetModuleHandleW(nullptr);
    taker.lpszClassName = kTakerClass;
    RegisterClassExW(&taker);
    window_ = CreateWindowExW(0, kTakerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));  // NOLINT
    SetTimer(window_, 1, kSettleMilliseconds, nullptr);
  }
  ShotTaker(const ShotTaker&) = delete;
  ShotTaker& operator=(const ShotTaker&) = delete;
  ShotTaker(ShotTaker&&) = delete;
  ShotTaker& operator=(ShotTaker&&) = delete;
  ~ShotTaker() { DestroyWindow(window_); }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
      // A message box in the way is reported and answered; the picture waits for the dialog.
      if (HWND box = FindWindowW(L"#32770", nullptr); box != nullptr) {
        wchar_t text[512]{};
        GetDlgItemTextW(box, kMessageTextId, text, 512);
        std::fprintf(stderr, "message box answered: %ls\n", text);
        PostMessageW(box, WM_COMMAND, IDNO, 0);
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return 0;
      }
      KillTimer(window, 1);
      auto* self =
          reinterpret_cast<ShotTaker*>(GetWindowLongPtrW(window, GWLP_USERDATA));  // NOLINT
      if (self != nullptr) {
        self->take_();
      }
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  std::function<void()> take_;
  HWND window_ = nullptr;
};

// The dialog's own child windows that are shown, with their places on the screen.
std::vector<std::pair<HWND, RECT>> shownChildren(HWND dialog) {
  std::vector<std::pair<HWND, RECT>> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place{};
    if (IsWindowVisible(child) != FALSE && GetWindowRect(child, &place) != FALSE) {
      children.emplace_back(child, place);
    }
  }
  return children;
}

std::string describe(HWND window) {
  wchar_t kind[64]{};
  wchar_t text[128]{};
  GetClassNameW(window, kind, 64);
  GetWindowTextW(window, text, 128);
  char line[512]{};
  std::snprintf(line, sizeof line, "%ls \"%ls\"", kind, text);
  return line;
}

// Whether a label's or a button's caption is wider than the room its window gives it: a label
// wraps onto lines it has no height for, a button cuts the caption off.
bool captionClipped(HWND window) {
  wchar_t kind[64]{};
  GetClassNameW(window, kind, 64);
  const bool label = lstrcmpiW(kind, L"Static") == 0;
  if (!label && lstrcmpiW(kind, L"Button") != 0) {
    return false;
  }
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG type = style & BS_TYPEMASK;
  if (!label && type == BS_GROUPBOX) {
    return false;
  }
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  std::erase(text, L'&');
  if (text.empty()) {
    return false;
  }
  HDC dc = GetDC(window);
  HGDIOBJ before = SelectObject(
      dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));  // NOLINT
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, before);
  ReleaseDC(window, dc);
  RECT room{};
  GetClientRect(window, &room);
  constexpr int kBoxAndGap = 18;  // a check box's or option button's box before its caption
  constexpr int kButtonEdges = 6;
  if (label) {
    return extent.cx > room.right && room.bottom < 2 * extent.cy;
  }
  const bool boxed = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                     type == BS_AUTORADIOBUTTON;
  return extent.cx + (boxed ? kBoxAndGap : kButtonEdges) > room.right;
}

// Counts the faults a person would see in the layout: two controls on top of each other, one
// reaching out of the dialog's window, or a caption cut off.
int layoutFaults(const char* name, HWND dialog) {
  int faults = 0;
  RECT inside{};
  GetClientRect(dialog, &inside);
  MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&inside), 2);  // NOLINT: two corners
  const auto children = shownChildren(dialog);
  for (std::size_t i = 0; i < children.size(); ++i) {
    RECT clipped{};
    if (IntersectRect(&clipped, &children[i].second, &inside) == FALSE ||
        EqualRect(&clipped, &children[i].second) == FALSE) {
      std::fprintf(stderr, "%s: %s reaches out of the dialog\n", name,
                   describe(children[i].first).c_str());
      ++faults;
    }
    if (captionClipped(children[i].first)) {
      std::fprintf(stderr, "%s: %s is cut off\n", name, describe(children[i].first).c_str());
      ++faults;
    }
    for (std::size_t j = i + 1; j < children.size(); ++j) {
      RECT common{};
      if (IntersectRect(&common, &children[i].second, &children[j].second) != FALSE) {
        std::fprintf(stderr, "%s: %s overlaps %s\n", name, describe(children[i].first).c_str(),
                     describe(children[j].first).c_str());
        ++faults;
      }
    }
  }
  return faults;
}

// Shows a form by `show` and saves its window once it is on the screen; `form` names the
// form, which may be made by `show` itself.
bool shoot(kvm::Ui& desktop, const std::function<kvm::Form*()>& form,
           const std::function<void()>& show, const fs::path& file,
           const std::function<void(HWND)>& afterwards) {
  bool taken = false;
  int faults = 0;
  const ShotTaker taker([&] {
    kvm::Form* shown = form();
    if (shown == nullptr) {
      return;
    }
    HWND window = kvm::win32::formWindowOf(desktop, *shown);
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    taken = captureWindow(window, file);
    faults = layoutFaults(file.stem().string().c_str(), window);
    if (afterwards) {
      afterwards(window);
    }
    shown->hide();
  });
  show();
  return taken && faults == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: dialog_shots OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  const fs::path output(argv[1]);  // NOLINT: the program's arguments
  fs::create_directories(output);
  const fs::path home = fs::temp_directory_path() / "kavelmor-dialog-shots";
  fs::remove_all(home);
  fs::create_directories(home);

  auto process = std::make_shared<kvm::ProcessContext>();
  process->ui = kvm::win32::makeFormDesktop(nullptr);
  process->settings = std::make_shared<kvm::MemorySettingsStore>();
  process->programDirectory = home;

  kvm::Ui& desktop = *process->ui;
  int failures = 0;
  auto take = [&](const char* name, const std::function<kvm::Form*()>& form,
                  const std::function<void()>& show,
                  const std::function<void(HWND)>& afterwards = {}) {
    if (!shoot(desktop, form, show, output / (std::string(name) + ".bmp"), afterwards)) {
      std::fprintf(stderr, "%s: no picture, or a fault in its layout\n", name);
      ++failures;
    }
  };

  kvm::FrmSet& settings = kvm::frmSet(*process, u"1.2");
  // Once pictured, a click on the second library's row, sent to the list's window, must
  // reach the dialog's handlers; a second click puts the first library back.
  auto clickLibrary = [&](HWND window, int32_t row) {
    const kvm::ListBox& list = settings.lstCangKu;
    POINT inside{list.left() + list.width() / 2, list.top() + row * list.rowHeight() + 4};
    HWND listWindow = ChildWindowFromPoint(window, inside);
    const LPARAM at = MAKELPARAM(list.width() / 2, row * list.rowHeight() + 4);
    SendMessageW(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(listWindow, WM_LBUTTONUP, 0, at);
    if (list.listIndex() != row || settings.fraErJi.caption() != list.list(row)) {
      std::fprintf(stderr, "frmSet: a click on library row %d did not select it\n", row);
      ++failures;
    }
  };
  take(
      "frmSet", [&] { return &settings; }, [&] { settings.show(u"", {}); },
      [&](HWND window) {
        clickLibrary(window, 1);
        clickLibrary(window, 0);
      });
  take(
      "frmAdd", [&] { return kvm::settingsState(*process).frmAdd.get(); },
      [&] { settings.cmdAdd2.userClick(); });

  // The rename box as the flashing list's menu opens it.
  kvm::FrmReName rename(process->ui, settings);
  take(
      "frmReName", [&] { return &rename; },
      [&] {
        rename.load();
        rename.setCaption(std::u16string(kvm::frm_set_text::kReNameFlashingCaption));
        rename.txtName0.setText(settings.lstErJi.text());
        rename.showModal();
      });

  kvm::FrmCheck& check = kvm::frmCheck(*process);
  take(
      "frmCheck", [&] { return &check; },
      [&] {
        check.load();
        check.showFigures(1200, 1250, u"1:10");
        check.showModal();
      });

  std::vector<kvm::Variant> values;
  const char16_t* rows[][8] = {
      {u"\u5C4B\u810A\u5305\u89D2", u"4000", u"100", u"\u5929\u84DD\u8272", u"100", u"1", u"500",
       u"1"},
      {u"\u5C71\u5899\u5305\u89D2", u"4000", u"100", u"\u767D\u7070", u"100", u"1", u"350", u"2"},
      {u"\u95E8\u6846\u5305\u89D2", u"3000", u"80", u"\u767D\u7070", u"50", u"1.05", u"420", u"5"}};
  for (const auto& row : rows) {
    for (const char16_t* value : row) {
      values.emplace_back(value);
    }
  }
  kvm::FrmPeiCeng& bill = kvm::frmPeiCeng(*process);
  take(
      "frmPeiCeng", [&] { return &bill; },
      [&] {
        bill.load();
        bill.fill(kvm::Variant::array(kvm::VarType::Variant, std::move(values)),
                  kvm::Variant::array(kvm::VarType::Variant, {u"\u793A\u8303\u5DE5\u7A0B", u"0.5",
                                                              u"100", u"350", u"2026/12/7"}),
                  0);
        bill.show();
      });

  kvm::FrmWanShan& completion = kvm::frmWanShan(*process);
  take(
      "frmWanShan", [&] { return &completion; }, [&] { completion.show(); });

  // The alias dialog asks the host for its toolbar on load: a simulated host with the
  // system's toolbar shown stands in for the CAD program.
  NoEvents events;
  kvm::sim::SimHost host(events);
  host.configure(nlohmann::json::parse(
      R"({"menugroups": [{"name": "QORNCAD", "toolbars": [{"tagstring": "ID_KVM",
                                                           "visible": true}]}]})"));
  process->hostApplication = host.application();
  kvm::FrmHelp& aliases = kvm::frmHelp(*process);
  take(
      "frmHelp", [&] { return &aliases; }, [&] { aliases.showModal(); });

  // Not unloaded: the dialog would ask whether to keep the database it made.
  process.reset();
  fs::remove_all(home);
  return failures == 0 ? 0 : 1;
}
