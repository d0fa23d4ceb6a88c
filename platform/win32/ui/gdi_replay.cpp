#include "platform/win32/ui/gdi_replay.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <string>
#include <utility>

#include "base/codepage.h"
#include "platform/win32/bstr.h"
#include "platform/win32/handles.h"

namespace kvm::win32 {

namespace {

COLORREF colorOf(canvas::Rgb colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

constexpr double kPixelsPerPoint = 96.0 / 72.0;

LOGFONTW logFontOf(const canvas::LogicalFont& font) {
  LOGFONTW record{};
  record.lfHeight = font.height;
  record.lfWidth = font.width;
  record.lfEscapement = font.escapement;
  record.lfOrientation = font.orientation;
  record.lfWeight = font.weight;
  record.lfItalic = font.italic;
  record.lfUnderline = font.underline;
  record.lfStrikeOut = font.strikeOut;
  record.lfCharSet = font.charSet;
  record.lfOutPrecision = font.outPrecision;
  record.lfClipPrecision = font.clipPrecision;
  record.lfQuality = font.quality;
  record.lfPitchAndFamily = font.pitchAndFamily;
  const std::u16string face = font.faceName.substr(0, LF_FACESIZE - 1);
  face.copy(reinterpret_cast<char16_t*>(record.lfFaceName), face.size());  // NOLINT: same UTF-16
  return record;
}

// The device context's state while a record is played: the fonts made and not yet deleted
// (oldest first), the pen, and what was selected before the drawing began.
class Replay {
 public:
  Replay(HDC dc, SIZE area) : dc_(dc), area_(area), previousFont_(GetCurrentObject(dc, OBJ_FONT)) {
    SetBkMode(dc_, TRANSPARENT);
    pen(1, canvas::kWhite);
  }
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;
  Replay(Replay&&) = delete;
  Replay& operator=(Replay&&) = delete;
  ~Replay() {
    SelectObject(dc_, previousFont_);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
  }

  void operator()(const canvas::op::Clear& /*op*/) {
    RECT all{0, 0, area_.cx, area_.cy};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  void operator()(const canvas::op::Pen& op) { pen(op.width, op.colour); }
  void operator()(const canvas::op::MoveTo& op) { MoveToEx(dc_, op.x, op.y, nullptr); }
  void operator()(const canvas::op::LineTo& op) { LineTo(dc_, op.x, op.y); }
  void operator()(const canvas::op::Font& op) {
    const LOGFONTW record = logFontOf(op.font);
    fonts_.emplace_back(
        created(u"the preview's font", [&] { return CreateFontIndirectW(&record); }));
  }
  void operator()(const canvas::op::Select& op) {
    if (op.which == canvas::FontSelection::Previous) {
      SelectObject(dc_, previousFont_);
    } else if (!fonts_.empty()) {
      SelectObject(dc_, fonts_.back().get());
    }
  }
  void operator()(const canvas::op::Align& op) { SetTextAlign(dc_, op.flags); }
  void operator()(const canvas::op::TextColor& op) { SetTextColor(dc_, colorOf(op.colour)); }
  void operator()(const canvas::op::TextOut& op) {
    const std::u16string text = fromGbk(op.ansiBytes);
    // A Chinese system draws double-byte text in an ANSI font with its associated Chinese face;
    // wine has no such association and would draw boxes, so the replay asks for the code
    // page's character set itself.
    UniqueFont associated;
    LOGFONTW current{};
    if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x7F; }) &&
        GetObjectW(GetCurrentObject(dc_, OBJ_FONT), sizeof(current), &current) != 0 &&
        current.lfCharSet == ANSI_CHARSET) {
      current.lfCharSet = GB2312_CHARSET;
      associated.reset(
          created(u"the preview's font", [&] { return CreateFontIndirectW(&current); }));
    }
    // Selecting no object selects nothing.
    const SelectedObject selected(dc_, associated.get());
    TextOutW(dc_, op.x, op.y, wide(text), static_cast<int>(text.size()));
  }
  void operator()(const canvas::op::Print& op) {
    LOGFONTW record{};
    record.lfHeight = -static_cast<LONG>(std::lround(op.font.size * kPixelsPerPoint));
    record.lfWeight = op.font.bold ? FW_BOLD : FW_NORMAL;
    record.lfCharSet = DEFAULT_CHARSET;
    const std::u16string face = op.font.face.substr(0, LF_FACESIZE - 1);
    face.copy(reinterpret_cast<char16_t*>(record.lfFaceName), face.size());  // NOLINT: UTF-16
    const UniqueFont font(
        created(u"the preview's font", [&] { return CreateFontIndirectW(&record); }));
    const SelectedObject selected(dc_, font.get());
    const UINT align = SetTextAlign(dc_, TA_LEFT | TA_TOP);
    TextOutW(dc_, static_cast<int>(std::lround(op.x)), static_cast<int>(std::lround(op.y)),
             wide(op.text), static_cast<int>(op.text.size()));
    SetTextAlign(dc_, align);
  }
  void operator()(const canvas::op::Refresh& /*op*/) {}
  void operator()(const canvas::op::DeleteFont& /*op*/) {
    if (fonts_.empty()) {
      return;
    }
    // A font still selected cannot go; the context falls back to its own first.
    if (GetCurrentObject(dc_, OBJ_FONT) == fonts_.front().get()) {
      SelectObject(dc_, previousFont_);
    }
    fonts_.pop_front();
  }

 private:
  void pen(int32_t width, canvas::Rgb colour) {
    UniquePen made(
        created(u"the preview's pen", [&] { return CreatePen(PS_SOLID, width, colorOf(colour)); }));
    SelectObject(dc_, made.get());
    pen_ = std::move(made);
  }

  HDC dc_;
  SIZE area_;
  HGDIOBJ previousFont_;
  std::deque<UniqueFont> fonts_;
  UniquePen pen_;
};

}  // namespace

void replayCanvas(HDC dc, SIZE area, const std::vector<canvas::CanvasOp>& ops) {
  Replay replay(dc, area);
  replay(canvas::op::Clear{});
  for (const canvas::CanvasOp& op : ops) {
    std::visit(replay, op);
  }
}

}  // namespace kvm::win32
