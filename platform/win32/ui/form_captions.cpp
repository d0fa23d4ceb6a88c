#include "platform/win32/ui/form_captions.h"

#include <string_view>

#include "platform/win32/bstr.h"
#include "platform/win32/handles.h"
#include "platform/win32/ui/form_icons.h"
#include "platform/win32/ui/window_binding.h"
#include "settings/frm_set_texts.h"
#include "ui/control.h"
#include "ui/form.h"

namespace kvm::win32 {

namespace {

// Left: right-aligned in a column left of the box. Above: over the box, which moves down by
// moveDown (negative: up). Before: just left of a label, inside the label's own container and
// in its colours.
enum class Side : uint8_t { Left, Above, Before };

struct Caption {
  std::u16string_view control;
  std::u16string_view text;
  Side side = Side::Left;
  int moveDown = 0;  // pixels the box moves to make room for a caption above it
};

constexpr int kCaptionHeight = 14;
constexpr int kGap = 4;
constexpr int kLeftWidth = 88;  // six characters of the dialog's font and a little

// The settings dialog: its project boxes in a column under each other, the attribute boxes in
// the panel below the lists, the developed width in the preview. The captions are the titles
// of the boxes' own validation messages; the project name's box has none and is called as its
// message calls it.
constexpr Caption kFrmSet[] = {
    {u"txtProject", u"工程名称", Side::Above, -12},
    {u"txtHou", frm_set_text::kThicknessTitle, Side::Above, -4},
    {u"txtDeng", frm_set_text::kClassStepTitle, Side::Above, 4},
    {u"txtZiGao", frm_set_text::kTextHeightTitle, Side::Above, 12},
    {u"txtXiaLiao", frm_set_text::kCutLengthTitle},
    {u"txtDaJie", frm_set_text::kOverlapTitle},
    {u"cboColor", frm_set_text::kColourTitle},
    {u"txtShenChang", frm_set_text::kExtensionTitle},
    {u"txtZheSuan", frm_set_text::kFactorTitle},
    {u"lbW", frm_set_text::kWidthCaption, Side::Before},
};

struct FormCaptions {
  std::u16string_view form;
  const Caption* begin;
  const Caption* end;
};

constexpr FormCaptions kForms[] = {
    {u"frmSet", std::begin(kFrmSet), std::end(kFrmSet)},
};

// `id`: the control whose colours the caption asks for (a static asks its parent by its id).
void makeCaption(HWND parent, HFONT font, std::u16string_view text, RECT place, DWORD align,
                 int id = 0) {
  const std::u16string caption(text);
  // A child of the dialog: it goes with the dialog's window.
  HWND window = created(u"a caption's window", [&] {
    return CreateWindowExW(0, L"STATIC", wide(caption), WS_CHILD | WS_VISIBLE | align, place.left,
                           place.top, place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),  // NOLINT: id as menu
                           GetModuleHandleW(nullptr), nullptr);
  });
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

SIZE textSize(HWND window, HFONT font, std::u16string_view text) {
  const std::u16string measured(text);
  const WindowDc dc(window);
  const SelectedObject selected(dc.get(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), wide(measured), static_cast<int>(measured.size()), &extent);
  return extent;
}

void place(const Caption& caption, const Control& control, ControlBinding& binding, HWND dialog,
           HFONT font) {
  const int left = control.left();
  const int top = control.top() + caption.moveDown;
  switch (caption.side) {
    case Side::Before: {
      HWND label = binding.window();
      if (label != nullptr) {
        const SIZE extent = textSize(label, font, caption.text);
        makeCaption(GetParent(label), font, caption.text,
                    RECT{left - kGap - extent.cx, top, left - kGap, top + extent.cy}, SS_LEFT,
                    GetDlgCtrlID(label));
      }
      break;
    }
    case Side::Above:
      if (auto* window = dynamic_cast<WindowBinding*>(&binding); window != nullptr) {
        window->moveBy(0, caption.moveDown);
      }
      makeCaption(dialog, font, caption.text,
                  RECT{left, top - kCaptionHeight, left + control.width(), top}, SS_LEFT);
      break;
    case Side::Left:
      makeCaption(dialog, font, caption.text,
                  RECT{left - kGap - kLeftWidth, top + 3, left - kGap, top + 3 + kCaptionHeight},
                  SS_RIGHT);
      break;
  }
}

}  // namespace

void addFormCaptions(const Form& form, HWND dialog, HFONT font,
                     const std::map<const Control*, ControlBinding*>& bindings) {
  addFormIcons(form, dialog);
  for (const FormCaptions& table : kForms) {
    if (table.form != form.name()) {
      continue;
    }
    for (const Caption* caption = table.begin; caption != table.end; ++caption) {
      const Control* control = form.findControl(caption->control);
      const auto found = control == nullptr ? bindings.end() : bindings.find(control);
      if (found != bindings.end() && found->second != nullptr) {
        place(*caption, *control, *found->second, dialog, font);
      }
    }
  }
}

}  // namespace kvm::win32
