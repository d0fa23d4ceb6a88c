#include "platform/win32/ui/form_window.h"

#include <string>

#include "platform/win32/bstr.h"
#include "platform/win32/handles.h"
#include "platform/win32/ui/form_captions.h"
#include "platform/win32/ui/procedure_guard.h"
#include "platform/win32/window_data.h"
#include "ui/control.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/menu_item.h"
#include "ui/picture_box.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"KavelmorForm";
constexpr int kFirstControlId = 100;
// The dialogs' font: 宋体 at 9 points; a CJK face of the system stands in where it is missing.
constexpr const wchar_t* kDialogFace = L"\u5B8B\u4F53";
constexpr const wchar_t* kStandInFace = L"WenQuanYi Micro Hei";
constexpr LONG kDialogFontHeight = -12;
// The stand-in's Latin letters are wider; a point smaller, they take 宋体's 6 pixels, which is
// what autosized labels are measured by.
constexpr LONG kStandInFontHeight = -11;

int CALLBACK faceFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metric*/, DWORD /*type*/,
                       LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;  // NOLINT: the flag travels as a number
  return 0;
}

bool hasFace(const wchar_t* face) {
  const WindowDc screen(nullptr);
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  const auto flag = reinterpret_cast<LPARAM>(&found);  // NOLINT: the flag travels as a number
  EnumFontFamiliesExW(screen.get(), &wanted, &faceFound, flag, 0);
  return found;
}

UniqueFont makeDialogFont() {
  const bool ownFace = hasFace(kDialogFace);
  LOGFONTW font{};
  font.lfHeight = ownFace ? kDialogFontHeight : kStandInFontHeight;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  lstrcpynW(font.lfFaceName, ownFace ? kDialogFace : kStandInFace, LF_FACESIZE);
  return UniqueFont(created(u"the dialogs' font", [&] { return CreateFontIndirectW(&font); }));
}

}  // namespace

void FormWindow::registerClasses() {
  WNDCLASSEXW form{};
  form.cbSize = sizeof(form);
  form.lpfnWndProc = &FormWindow::procedure;
  form.hInstance = GetModuleHandleW(nullptr);
  form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // NOLINT: the system's resource id
  form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  form.lpszClassName = kFormClass;
  RegisterClassExW(&form);  // fails harmlessly when already registered
  registerPictureClass();
}

FormWindow::FormWindow(Form& form, HWND owner, std::function<void()> changed, bool timersRun)
    : form_(form),
      owner_(owner),
      changed_(std::move(changed)),
      font_(makeDialogFont()),
      timersRun_(timersRun) {
  registerClasses();
  // No WS_CLIPCHILDREN: group boxes leave their inside to the dialog's background.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  window_.reset(created(u"the dialog's window", [&] {
    return CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kFormClass,
                           wide(form.caption()), style, form.left(), form.top(), form.width(),
                           form.height(), owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  }));
  attachToWindow(handle(), this);
  try {
    bindControls();
    addFormCaptions(form_, handle(), font_.get(), byControl_);
  } catch (...) {
    destroyWindow();
    throw;
  }
}

FormWindow::~FormWindow() {
  destroyWindow();
}

// The window stops calling this object before it goes, and the controls' windows before it.
void FormWindow::destroyWindow() noexcept {
  SetWindowLongPtrW(handle(), GWLP_USERDATA, 0);
  bindings_.clear();
  window_.reset();
}

void FormWindow::bindControls() {
  // Containers first, so that what they hold can go inside them.
  std::map<const Control*, HWND> containers;
  int id = kFirstControlId;
  auto bind = [&](Control& control) {
    BindingContext context;
    context.parent = handle();
    if (const Control* container = control.container(); container != nullptr) {
      if (auto found = containers.find(container); found != containers.end()) {
        context.parent = found->second;
      }
    }
    context.font = font_.get();
    context.id = id;
    context.isDefault = &control == static_cast<Control*>(form_.defaultButton());
    context.afterEvent = changed_;
    context.timersRun = timersRun_;
    if (auto binding = bindControl(control, context)) {
      if (binding->window() != nullptr) {
        containers.emplace(&control, binding->window());
      }
      byId_.emplace(id, binding.get());
      byControl_.emplace(&control, binding.get());
      bindings_.push_back(std::move(binding));
    }
    ++id;
  };
  for (Control* control : form_.controls()) {
    if (dynamic_cast<PictureBox*>(control) != nullptr) {
      bind(*control);
    }
  }
  for (Control* control : form_.controls()) {
    if (dynamic_cast<PictureBox*>(control) == nullptr) {
      bind(*control);
    }
  }
}

ControlBinding* FormWindow::bindingOf(int id) const {
  const auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : found->second;
}

HWND FormWindow::controlWindow(const Control& control) const {
  const auto found = byControl_.find(&control);
  return found == byControl_.end() ? nullptr : found->second->window();
}

int FormWindow::controlId(const Control& control) const {
  const auto found = byControl_.find(&control);
  if (found != byControl_.end()) {
    for (const auto& [id, binding] : byId_) {
      if (binding == found->second) {
        return id;
      }
    }
  }
  return 0;
}

void FormWindow::sync() {
  if (GetWindowTextLengthW(handle()) >= 0) {
    std::u16string shown(static_cast<std::size_t>(GetWindowTextLengthW(handle())) + 1, u'\0');
    GetWindowTextW(handle(), reinterpret_cast<wchar_t*>(shown.data()),  // NOLINT: UTF-16
                   static_cast<int>(shown.size()));
    shown.resize(shown.size() - 1);
    if (shown != form_.caption()) {
      SetWindowTextW(handle(), wide(form_.caption()));
    }
  }
  RECT place{};
  GetWindowRect(handle(), &place);
  if (place.left != form_.left() || place.top != form_.top()) {
    SetWindowPos(handle(), nullptr, form_.left(), form_.top(), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  EnableMenuItem(
      GetSystemMenu(handle(), FALSE), SC_CLOSE,
      static_cast<UINT>(MF_BYCOMMAND | (form_.closeBoxEnabled() ? MF_ENABLED : MF_GRAYED)));
  for (const auto& binding : bindings_) {
    binding->sync();
  }
  // The model's focus moves the window's only when a handler moved it, so that tabbing
  // through the dialog is not undone.
  if (form_.focus() != shownFocus_ && IsWindowVisible(handle()) != FALSE) {
    shownFocus_ = form_.focus();
    if (const auto found = byControl_.find(shownFocus_);
        found != byControl_.end() && found->second->window() != nullptr) {
      SetFocus(found->second->window());
    }
  }
}

void FormWindow::runModal() {
  sync();
  const bool ownerWasEnabled = owner_ != nullptr && IsWindowEnabled(owner_) != FALSE;
  if (ownerWasEnabled) {
    EnableWindow(owner_, FALSE);
  }
  ShowWindow(handle(), SW_SHOW);
  UpdateWindow(handle());
  MSG message{};
  const ModalLoopScope loop;
  while (form_.isShown() && form_.isLoaded() && !windowExceptionKept()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
      }
      break;
    }
    if (IsDialogMessageW(handle(), &message) == FALSE) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (ownerWasEnabled) {
    EnableWindow(owner_, TRUE);
  }
  ShowWindow(handle(), SW_HIDE);
  if (owner_ != nullptr) {
    SetActiveWindow(owner_);
  }
  rethrowWindowException();
}

void FormWindow::close() {
  ShowWindow(handle(), SW_HIDE);
}

void FormWindow::popupMenu(MenuItem& menu) {
  const UniqueMenu popup(created(u"the context menu", [&] { return CreatePopupMenu(); }));
  const auto& items = menu.items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = *items[i];
    if (!item.visible()) {
      continue;
    }
    if (item.isSeparator()) {
      AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(popup.get(),
                  static_cast<UINT>(MF_STRING | (item.enabled() ? MF_ENABLED : MF_GRAYED)), i + 1,
                  wide(item.caption()));
    }
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  const BOOL picked = TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                     cursor.x, cursor.y, 0, handle(), nullptr);
  if (picked > 0 && static_cast<std::size_t>(picked) <= items.size()) {
    items[static_cast<std::size_t>(picked) - 1]->userPick();
  }
}

LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = attachedTo<FormWindow>(window);
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return guardProcedure([&] { return self->handle(message, wParam, lParam); });
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      bool handled = false;
      if (lParam == 0 || id == IDOK || id == IDCANCEL) {
        Button* button = id == IDOK       ? form_.defaultButton()
                         : id == IDCANCEL ? form_.cancelButton()
                                          : nullptr;
        if (button != nullptr && button->usable()) {
          button->userClick();
          handled = true;
        }
      } else if (ControlBinding* binding = bindingOf(id); binding != nullptr) {
        handled = binding->command(HIWORD(wParam));
      }
      if (handled) {
        changed_();
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);  // NOLINT: the message's record
      if (ControlBinding* binding = bindingOf(static_cast<int>(header.idFrom));
          binding != nullptr && binding->notify(header)) {
        changed_();
        return 0;
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);  // NOLINT: as above
      if (ControlBinding* binding = bindingOf(static_cast<int>(item.CtlID));
          binding != nullptr && binding->drawItem(item)) {
        return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HWND control = reinterpret_cast<HWND>(lParam);  // NOLINT: the message's handle
      if (ControlBinding* binding = bindingOf(GetDlgCtrlID(control)); binding != nullptr) {
        if (HBRUSH brush = binding->colour(fromMessageValue<HDC>(static_cast<LONG_PTR>(wParam)));
            brush != nullptr) {
          return reinterpret_cast<LRESULT>(brush);  // NOLINT: the brush travels as the result
        }
      }
      break;
    }
    case WM_PAINT: {
      const Painting painting(handle());
      for (const auto& binding : bindings_) {
        binding->paint(painting.dc());
      }
      return 0;
    }
    case WM_TIMER:
      if (ControlBinding* binding = bindingOf(static_cast<int>(wParam)); binding != nullptr) {
        binding->timer();
        changed_();
        return 0;
      }
      break;
    case WM_CLOSE:
      form_.userClose();
      changed_();
      return 0;
    default: break;
  }
  return DefWindowProcW(handle(), message, wParam, lParam);
}

}  // namespace kvm::win32
