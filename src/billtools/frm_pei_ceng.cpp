#include "billtools/frm_pei_ceng.h"

#include <limits>
#include <memory>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "billtools/guarded.h"
#include "billtools/help_box.h"
#include "billtools/pei_ceng_texts.h"
#include "billtools/stored_choice.h"
#include "session/process.h"
#include "ui/form_show.h"

namespace kvm {

namespace text = pei_ceng_text;

namespace {

constexpr std::u16string_view kDisplayModeKey = u"danxian";
constexpr std::u16string_view kWriteNameKey = u"WriteName";
constexpr int32_t kDefaultDisplayMode = 1;
constexpr int32_t kNoDisplayMode = 3;

// Each flashing of a bill comes as eight values: name, cut length, overlap, colour, extension,
// factor, developed width and scale code.
constexpr int32_t kValuesPerFlashing = 8;
constexpr int32_t kColumns = 9;
constexpr int32_t kNameColumn = 1;
constexpr int32_t kColourColumn = 4;
constexpr int32_t kScaleColumn = 8;

constexpr int32_t kFormWidth = 650;
constexpr int32_t kFormHeight = 400;
constexpr int32_t kGridWidth = 624;
constexpr int32_t kGridHeight = 194;
constexpr int32_t kDateLeft = 540;
constexpr int32_t kHeaderRowHeight = 500;  // twips
constexpr int32_t kTwipsPerPixel = 15;
// Room for the grid's vertical scroll bar.
constexpr int32_t kScrollBarWidth = 17;
constexpr int32_t kTimerInterval = 500;

constexpr char16_t kSeparator = u'\x01';

// UBound of an array argument: no array is a type mismatch, an unallocated one out of range.
int32_t upperBound(const Variant& value) {
  if (!value.isArray()) {
    raise(err::kTypeMismatch);
  }
  const ArrayValue& array = value.arrayValue();
  if (!array.allocated) {
    raise(err::kSubscriptOutOfRange);
  }
  return array.upperBound();
}

std::u16string scaleText(const std::u16string& code) {
  // The code is the scale divided by ten, except for 1:5.
  return u"1:" + code + (code == u"5" ? u"" : u"0");
}

}  // namespace

FrmPeiCeng::FrmPeiCeng(ProcessContext& process)
    : Form(process.ui, u"frmPeiCeng"),
      lbGong(*this, u"lbGong"),
      lbBanHou(*this, u"lbBanHou"),
      lbDate(*this, u"lbDate"),
      M1(*this, u"M1", 2, kColumns),
      fraShow(*this, u"fraShow"),
      optShow(*this, u"optShow",
              std::vector<std::u16string>(text::kOptShow.begin(), text::kOptShow.end())),
      chkWriteName(*this, u"chkWriteName", std::u16string(text::kChkWriteName)),
      cmdPick(*this, u"cmdPick"),
      cmdDaoChu(*this, u"cmdDaoChu"),
      cmdHelp(*this, u"cmdHelp"),
      cmdClose(*this, u"cmdClose"),
      Timer1(*this, u"Timer1", kTimerInterval),
      process_(process) {
  setCaption(std::u16string(text::kCaption));
  setSize(kFormWidth, kFormHeight);
  lbGong.move(12, 8, 420, 16);
  lbBanHou.move(12, 28, 620, 16);
  lbDate.move(kDateLeft, 8, 96, 16);
  M1.move(12, 50, kGridWidth, kGridHeight);
  for (int32_t col = 0; col < kColumns; ++col) {
    M1.setTextMatrix(0, col, std::u16string(text::kDesignHeader[static_cast<std::size_t>(col)]));
  }
  M1.setColWidth(0, 500);
  M1.setColWidth(kNameColumn, 1800);
  fraShow.move(12, 252, 300, 50);
  fraShow.setCaption(std::u16string(text::kFraShow));
  for (int32_t i = 0; i < optShow.count(); ++i) {
    optShow[i].move(24 + 90 * i, 272, 80, 20);
  }
  chkWriteName.move(330, 272, 200, 20);
  cmdPick.move(12, 320, 130, 28);
  cmdPick.setCaption(std::u16string(text::kCmdPick));
  cmdDaoChu.move(160, 320, 100, 28);
  cmdDaoChu.setCaption(std::u16string(text::kCmdDaoChu));
  cmdHelp.move(400, 320, 100, 28);
  cmdHelp.setCaption(std::u16string(text::kCmdHelp));
  cmdClose.move(520, 320, 100, 28);
  cmdClose.setCaption(std::u16string(text::kCmdClose));

  cmdPick.onClick = [this] { guarded(ui(), [this] { pick(); }); };
  M1.onDblClick = [this] { guarded(ui(), [this] { pick(); }); };
  cmdDaoChu.onClick = [this] { guarded(ui(), [this] { exportTable(); }); };
  cmdHelp.onClick = [this] { guarded(ui(), [this] { help(); }); };
  cmdClose.onClick = [this] { guarded(ui(), [this] { unload(); }); };
  Timer1.onTimer = [this] { guarded(ui(), [this] { timerTick(); }); };
  finishDesign();
}

void FrmPeiCeng::onLoad() {
  setSize(kFormWidth, kFormHeight);
  M1.setRow(1);
  M1.setCol(0);
  const SettingsStore& store = *process_.settings;
  const auto mode = storedChoice(store, kDisplayModeKey, kDefaultDisplayMode, 0, 2);
  optShow[mode.value_or(kDefaultDisplayMode)].setValue(true);
  if (const auto writeName = storedChoice(store, kWriteNameKey, 0, 0, 1)) {
    chkWriteName.setValue(*writeName);
  }
  const ScreenSize screen = ui().screenSize();
  move((screen.width - width()) / 2, (screen.height - height()) / 2);
}

void FrmPeiCeng::onUnload() {
  process_.resultString = u"c";
  guarded(ui(), [this] {
    storeChoice(*process_.settings, kDisplayModeKey, displayMode());
    storeChoice(*process_.settings, kWriteNameKey, chkWriteName.value());
  });
}

void FrmPeiCeng::fill(const Variant& Arr, const Variant& Gong, int16_t stid) {
  lbGong.setCaption(std::u16string(text::kProjectPrefix) + toString(element(Gong, 0)));
  lbBanHou.setCaption(std::u16string(text::kThicknessPrefix) + toString(element(Gong, 1)) +
                      std::u16string(text::kStepPrefix) + toString(element(Gong, 2)) +
                      std::u16string(text::kTextHeightPrefix) + toString(element(Gong, 3)));
  lbDate.setCaption(toString(element(Gong, 4)));

  const int16_t flashings =
      toIntegerRounded((static_cast<double>(upperBound(Arr)) + 1.0) / kValuesPerFlashing);
  // The grid's row count, one more, is an Integer as well.
  if (flashings == std::numeric_limits<int16_t>::max()) {
    raise(err::kOverflow);
  }
  M1.setRows(flashings + 1);
  M1.setRowHeight(0, kHeaderRowHeight);
  for (std::size_t i = 0; i < text::kFilledHeader.size(); ++i) {
    M1.setTextMatrix(0, static_cast<int32_t>(i) + 2, std::u16string(text::kFilledHeader[i]));
  }
  fitGrid(flashings);

  for (int32_t k = 0; k < flashings; ++k) {
    const int32_t row = k + 1;
    const int32_t first = k * kValuesPerFlashing;
    M1.setTextMatrix(row, 0, decimal(static_cast<long long>(row) + stid));
    for (int32_t col = 1; col < kScaleColumn; ++col) {
      M1.setTextMatrix(row, col, toString(element(Arr, first + col - 1)));
    }
    M1.setTextMatrix(row, kScaleColumn, scaleText(toString(element(Arr, first + 7))));
  }
}

void FrmPeiCeng::fitGrid(int32_t flashings) {
  int32_t needed = 0;
  for (int32_t row = 0; row <= flashings; ++row) {
    needed += M1.rowHeight(row);
  }
  // Measured from the design each time, so that refilling the shown dialog does not widen it
  // again.
  const int32_t extra = M1.height() * kTwipsPerPixel < needed ? kScrollBarWidth : 0;
  M1.setWidth(kGridWidth + extra);
  setSize(kFormWidth + extra, kFormHeight);
  lbDate.setLeft(kDateLeft + extra);
}

void FrmPeiCeng::show() {
  showTopmostModal(*this, Timer1);
}

int32_t FrmPeiCeng::displayMode() const {
  const int32_t selected = optShow.selected();
  return selected < 0 ? kNoDisplayMode : selected;
}

std::u16string FrmPeiCeng::pickRequest() const {
  const int32_t row = M1.row();
  std::u16string request = decimal(row - 1);
  request += kSeparator;
  request += M1.textMatrix(row, kNameColumn);
  request += kSeparator;
  request += M1.textMatrix(row, kColourColumn);
  request += kSeparator;
  request += decimal(displayMode());
  request += kSeparator;
  request += decimal(chkWriteName.value());
  return request;
}

std::u16string FrmPeiCeng::exportRecord() const {
  std::u16string record = lbGong.caption();
  record += kSeparator;
  record += lbBanHou.caption();
  record += kSeparator;
  record += lbDate.caption();
  for (int32_t row = 1; row < M1.rows(); ++row) {
    for (int32_t col = 0; col < kColumns; ++col) {
      record += kSeparator;
      record += M1.textMatrix(row, col);
    }
  }
  return record;
}

void FrmPeiCeng::pick() {
  Timer1.setEnabled(false);
  // The header row is no flashing, even though its name cell holds a caption.
  if (M1.row() < 1 || M1.textMatrix(M1.row(), kNameColumn).empty()) {
    showMessage(ui(), text::kNoFlashingPicked);
    M1.setFocus();
    return;
  }
  process_.resultString = u"pick" + pickRequest();
  hide();
}

void FrmPeiCeng::exportTable() {
  Timer1.setEnabled(false);
  process_.resultString = u"dao" + exportRecord();
  hide();
}

void FrmPeiCeng::help() {
  Timer1.setEnabled(false);
  showHelpText(ui(), text::kHelpLines, text::kHelpTitle);
}

void FrmPeiCeng::timerTick() {
  setWindowTopmost(*this, false);
  endTimer1Tick(*this, Timer1);
}

FrmPeiCeng& frmPeiCeng(ProcessContext& process) {
  if (!process.frmPeiCeng) {
    process.frmPeiCeng = std::make_shared<FrmPeiCeng>(process);
  }
  return *process.frmPeiCeng;
}

}  // namespace kvm
