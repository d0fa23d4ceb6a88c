#include "billtools/frm_wan_shan.h"

#include <memory>

#include "base/runtime_error.h"
#include "base/text.h"
#include "billtools/guarded.h"
#include "billtools/help_box.h"
#include "billtools/stored_choice.h"
#include "billtools/wan_shan_texts.h"
#include "session/process.h"
#include "ui/form_show.h"

namespace kvm {

namespace text = wan_shan_text;

namespace {

constexpr std::u16string_view kModeKey = u"WanShanmode";
constexpr std::u16string_view kNumKey = u"WanShanNum";
constexpr std::u16string_view kDaiTiKey = u"WanShanDaiTi";
constexpr std::u16string_view kZhengKey = u"WanShanZheng";

// "By economy" lets the host choose the pieces, so there are no row numbers to write.
constexpr int32_t kEconomyMode = 2;
constexpr int32_t kNoMode = 3;

constexpr int32_t kFormWidth = 360;
constexpr int32_t kFormHeight = 240;
constexpr int32_t kTimerInterval = 500;

}  // namespace

FrmWanShan::FrmWanShan(ProcessContext& process)
    : Form(process.ui, u"frmWanShan"),
      fraMode(*this, u"fraMode"),
      optMode(*this, u"optMode",
              std::vector<std::u16string>(text::kOptMode.begin(), text::kOptMode.end())),
      chkNum(*this, u"chkNum", std::u16string(text::kChkNum)),
      chkDaiTi(*this, u"chkDaiTi", std::u16string(text::kChkDaiTi)),
      chkZheng(*this, u"chkZheng", std::u16string(text::kChkZheng)),
      cmdOk(*this, u"cmdOk"),
      cmdCancel(*this, u"cmdCancel"),
      cmdHelp(*this, u"cmdHelp"),
      Timer1(*this, u"Timer1", kTimerInterval),
      process_(process) {
  setCaption(std::u16string(text::kCaption));
  setSize(kFormWidth, kFormHeight);
  fraMode.move(12, 8, 336, 56);
  fraMode.setCaption(std::u16string(text::kFraMode));
  for (int32_t i = 0; i < optMode.count(); ++i) {
    optMode[i].move(24 + 110 * i, 30, 100, 20);
  }
  chkNum.move(24, 76, 300, 20);
  chkDaiTi.move(24, 100, 300, 20);
  // It only means something while row numbers are written.
  chkDaiTi.setEnabled(false);
  chkZheng.move(24, 124, 300, 20);
  cmdOk.move(24, 170, 90, 28);
  cmdOk.setCaption(std::u16string(text::kCmdOk));
  cmdCancel.move(134, 170, 90, 28);
  cmdCancel.setCaption(std::u16string(text::kCmdCancel));
  cmdHelp.move(244, 170, 90, 28);
  cmdHelp.setCaption(std::u16string(text::kCmdHelp));

  optMode.onClick = [this](int32_t index) { chkNum.setEnabled(index != kEconomyMode); };
  chkNum.onClick = [this] { chkDaiTi.setEnabled(chkNum.value() == 1); };
  cmdOk.onClick = [this] { guarded(ui(), [this] { ok(); }); };
  cmdCancel.onClick = [this] {
    process_.resultString = u"c";
    unload();
  };
  cmdHelp.onClick = [this] { guarded(ui(), [this] { help(); }); };
  Timer1.onTimer = [this] { guarded(ui(), [this] { timerTick(); }); };
  finishDesign();
}

void FrmWanShan::onLoad() {
  accepted_ = false;
  // A stored value that is no number stops the load here; the dialog is shown as far as it
  // got.
  guarded(ui(), [this] {
    const SettingsStore& store = *process_.settings;
    // Setting a button runs the group's Click handler, which disables chkNum for mode 2.
    if (const auto stored = storedChoice(store, kModeKey, 0, 0, 2)) {
      optMode[*stored].setValue(true);
    }
    if (const auto stored = storedChoice(store, kNumKey, 0, 0, 1)) {
      chkNum.setValue(*stored);
    }
    if (const auto stored = storedChoice(store, kDaiTiKey, 0, 0, 1)) {
      chkDaiTi.setValue(*stored);
    }
    chkDaiTi.setEnabled(chkNum.value() == 1);
    if (const auto stored = storedChoice(store, kZhengKey, 0, 0, 1)) {
      chkZheng.setValue(*stored);
    }
  });
}

void FrmWanShan::onQueryUnload(bool& /*cancel*/) {
  if (!accepted_) {
    process_.resultString = u"c";
  }
}

void FrmWanShan::show() {
  showTopmostModal(*this, Timer1);
}

int32_t FrmWanShan::mode() const {
  const int32_t selected = optMode.selected();
  return selected < 0 ? kNoMode : selected;
}

std::u16string FrmWanShan::completionOptions() const {
  return decimal(mode()) + decimal(chkNum.value()) + decimal(chkDaiTi.value()) +
         decimal(chkZheng.value());
}

void FrmWanShan::ok() {
  Timer1.setEnabled(false);
  process_.resultString = completionOptions();
  SettingsStore& store = *process_.settings;
  storeChoice(store, kModeKey, mode());
  storeChoice(store, kNumKey, chkNum.value());
  storeChoice(store, kDaiTiKey, chkDaiTi.value());
  storeChoice(store, kZhengKey, chkZheng.value());
  accepted_ = true;
  unload();
}

void FrmWanShan::help() {
  Timer1.setEnabled(false);
  showHelpText(ui(), text::kHelpLines, text::kHelpTitle);
}

void FrmWanShan::timerTick() {
  setWindowTopmost(*this, false);
  endTimer1Tick(*this, Timer1);
}

FrmWanShan& frmWanShan(ProcessContext& process) {
  if (!process.frmWanShan) {
    process.frmWanShan = std::make_shared<FrmWanShan>(process);
  }
  return *process.frmWanShan;
}

}  // namespace kvm
