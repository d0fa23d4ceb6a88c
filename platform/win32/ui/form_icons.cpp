#include "platform/win32/ui/form_icons.h"

#include <array>
#include <string>

#include "base/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/ui/procedure_guard.h"
#include "ui/control.h"
#include "ui/form.h"

namespace kvm::win32 {

namespace {

constexpr const wchar_t* kIconClass = L"KavelmorCommandIcon";
constexpr int kSide = 18;  // inside a one-pixel edge
constexpr int kCommands = 4;
constexpr COLORREF kInk = RGB(0, 70, 160);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kMark = RGB(200, 40, 40);

// A polyline of up to four points; a closed one returns to its first point.
struct Stroke {
  std::array<POINT, 4> points{};
  int count = 0;
  COLORREF colour = kInk;
  bool closed = false;
};

using Picture = std::array<Stroke, 4>;

constexpr Stroke kSheet{{{{4, 2}, {14, 2}, {14, 16}, {4, 16}}}, 4, kInk, true};

// The pictures, on an 18-pixel square: the bill list (a sheet of rows), the lines given to
// the flashings (a ridge profile over its line), the bill completed (a sheet with a tick) and
// one flashing's leaders (a leader from its mark).
constexpr std::array<Picture, kCommands> kPictures{{
    {kSheet, Stroke{{{{6, 6}, {12, 6}}}, 2}, Stroke{{{{6, 9}, {12, 9}}}, 2},
     Stroke{{{{6, 12}, {12, 12}}}, 2}},
    {Stroke{{{{2, 9}, {9, 4}, {16, 9}}}, 3}, Stroke{{{{2, 14}, {16, 14}}}, 2, kMark}},
    {kSheet, Stroke{{{{6, 9}, {8, 12}, {13, 5}}}, 3, kMark}},
    {Stroke{{{{3, 15}, {10, 6}, {16, 6}}}, 3},
     Stroke{{{{2, 13}, {5, 13}, {5, 16}, {2, 16}}}, 4, kMark, true}},
}};

void paintIcon(HWND window) {
  const Painting painting(window);
  const HDC dc = painting.dc();
  const auto index = static_cast<std::size_t>(GetWindowLongPtrW(window, GWLP_USERDATA));
  RECT all{0, 0, kSide, kSide};
  const UniqueBrush paper(created(u"the icon's brush", [&] { return CreateSolidBrush(kPaper); }));
  FillRect(dc, &all, paper.get());
  if (index < kPictures.size()) {
    for (const Stroke& stroke : kPictures[index]) {
      if (stroke.count < 2) {
        continue;
      }
      const UniquePen pen(
          created(u"the icon's pen", [&] { return CreatePen(PS_SOLID, 2, stroke.colour); }));
      const SelectedObject selected(dc, pen.get());
      Polyline(dc, stroke.points.data(), stroke.count);
      if (stroke.closed) {
        const std::array<POINT, 2> back{stroke.points[3], stroke.points[0]};
        Polyline(dc, back.data(), 2);
      }
    }
  }
}

LRESULT CALLBACK iconProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    return guardProcedure([window] {
      paintIcon(window);
      return LRESULT{0};
    });
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void addFormIcons(const Form& form, HWND dialog) {
  if (form.name() != u"frmHelp") {
    return;
  }
  const Control* column = form.findControl(u"lbHead(4)");
  if (column == nullptr) {
    return;
  }
  WNDCLASSEXW icon{};
  icon.cbSize = sizeof(icon);
  icon.lpfnWndProc = &iconProcedure;
  icon.hInstance = GetModuleHandleW(nullptr);
  icon.lpszClassName = kIconClass;
  RegisterClassExW(&icon);  // fails harmlessly when already registered
  for (int i = 0; i < kCommands; ++i) {
    const Control* row = form.findControl(u"lbFun(" + decimal(i) + u")");
    if (row == nullptr) {
      continue;
    }
    // A child of the dialog: it goes with the dialog's window.
    HWND window = created(u"a command's icon", [&] {
      return CreateWindowExW(WS_EX_STATICEDGE, kIconClass, L"", WS_CHILD | WS_VISIBLE,
                             column->left() + 2, row->top(), kSide + 2, kSide + 2, dialog, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    });
    SetWindowLongPtrW(window, GWLP_USERDATA, i);
  }
}

}  // namespace kvm::win32
