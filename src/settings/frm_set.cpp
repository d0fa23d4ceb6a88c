#include "settings/frm_set.h"

#include <cmath>

#include "base/runtime_error.h"
#include "session/process.h"
#include "settings/frm_set_texts.h"
#include "settings/settings_state.h"
#include "storage/stored_settings.h"
#include "ui/form_show.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

constexpr int32_t kFormWidth = 780;
constexpr int32_t kFormHeight = 540;
constexpr int32_t kListTop = 30;
constexpr int32_t kListHeight = 180;
constexpr int32_t kRowHeight = 15;
// The current-use list's own rows are lower; the load sequence makes them as tall as the
// others.
constexpr int32_t kPlainRowHeight = 13;
constexpr int32_t kTimerInterval = 500;

std::vector<std::u16string> colourChoices() {
  return {text::kColours.begin(), text::kColours.end()};
}

void placeRowLabels(const ControlArray<Label>& labels, int32_t left, std::u16string first) {
  for (int32_t i = 0; i < labels.count(); ++i) {
    labels[i].move(left, kListTop, 18, kRowHeight);
    labels[i].setVisible(i == 0);
  }
  labels[0].setCaption(std::move(first));
}

}  // namespace

// The preview draws on the picture box, moves the mark template and colours the scale labels.
class FrmSet::Preview final : public preview::PreviewArea {
 public:
  explicit Preview(FrmSet& form) : form_(form) {}

  canvas::Canvas& canvas() override { return form_.Pic.canvas(); }
  [[nodiscard]] double innerWidth() const override { return form_.Pic.width(); }
  [[nodiscard]] double innerHeight() const override { return form_.Pic.height(); }
  [[nodiscard]] preview::MarkTemplate markTemplate() const override {
    preview::MarkTemplate mark;
    mark.left = form_.lbXing.left();
    mark.top = form_.lbXing.top();
    mark.width = form_.lbXing.width();
    mark.height = form_.lbXing.height();
    return mark;
  }
  void moveMarkTemplate(double left, double top) override {
    form_.lbXing.setLeft(static_cast<int32_t>(std::lround(left)));
    form_.lbXing.setTop(static_cast<int32_t>(std::lround(top)));
  }
  void setScaleLabelColor(canvas::Rgb colour) override {
    const Color color{colour.red, colour.green, colour.blue};
    form_.lbBiLi.setForeColor(color);
    form_.lbSc.setForeColor(color);
  }

 private:
  FrmSet& form_;
};

FrmSet::FrmSet(ProcessContext& process, SettingsState& state, std::u16string version)
    : Form(process.ui, u"frmSet"),
      lstCangKu(*this, u"lstCangKu", true),
      lstErJi(*this, u"lstErJi", true),
      lstDang(*this, u"lstDang", false),
      Frame4(*this, u"Frame4"),
      fraErJi(*this, u"fraErJi"),
      fraDang(*this, u"fraDang"),
      fraImg(*this, u"fraImg"),
      lbCang(*this, u"lbCang", 12),
      lbEr(*this, u"lbEr", 12),
      lbN(*this, u"lbN", 12),
      txtXiaLiao(*this, u"txtXiaLiao"),
      txtDaJie(*this, u"txtDaJie"),
      cboColor(*this, u"cboColor", colourChoices()),
      txtShenChang(*this, u"txtShenChang"),
      txtZheSuan(*this, u"txtZheSuan"),
      Pic(*this, u"Pic", 342, 180),
      lbW(*this, u"lbW", true),
      lbmm(*this, u"lbmm", true),
      lbBiLi(*this, u"lbBiLi", true),
      lbSc(*this, u"lbSc", true),
      lbXing(*this, u"lbXing"),
      txtProject(*this, u"txtProject"),
      txtHou(*this, u"txtHou"),
      txtDeng(*this, u"txtDeng"),
      txtZiGao(*this, u"txtZiGao"),
      lbCheng(*this, u"lbCheng", true),
      Timer1(*this, u"Timer1", kTimerInterval),
      cmdOk(*this, u"cmdOk"),
      cmdCancel(*this, u"cmdCancel"),
      cmdMoRen(*this, u"cmdMoRen"),
      cmdQingDan(*this, u"cmdQingDan"),
      cmdAdd(*this, u"cmdAdd"),
      cmdAdd2(*this, u"cmdAdd2"),
      cmdDelCang(*this, u"cmdDelCang"),
      cmdDelEr(*this, u"cmdDelEr"),
      cmdDelDang(*this, u"cmdDelDang"),
      cmdDingWei(*this, u"cmdDingWei"),
      cmdJieTu(*this, u"cmdJieTu"),
      cmdHelp(*this, u"cmdHelp"),
      mnuYou(*this, u"mnuYou", std::u16string(text::kMnuYou)),
      mnuTop(*this, u"mnuTop", std::u16string(text::kMnuTop), &mnuYou),
      mnuUp(*this, u"mnuUp", std::u16string(text::kMnuUp), &mnuYou),
      mnuDown(*this, u"mnuDown", std::u16string(text::kMnuDown), &mnuYou),
      mnuBottom(*this, u"mnuBottom", std::u16string(text::kMnuBottom), &mnuYou),
      mnuSort(*this, u"mnuSort", std::u16string(text::kMnuSort), &mnuYou),
      mnuName(*this, u"mnuName", std::u16string(text::kMnuName), &mnuYou),
      mnuDingWei(*this, u"mnuDingWei", std::u16string(text::kMnuDingWei), &mnuYou),
      mnuSeparator(*this, u"mnuSeparator", u"-", &mnuYou),
      mnuDel(*this, u"mnuDel", std::u16string(text::kMnuDel), &mnuYou),
      process_(process),
      state_(state),
      version_(std::move(version)),
      preview_(std::make_unique<Preview>(*this)) {
  setCaption(std::u16string(text::kCaptionStart));
  setSize(kFormWidth, kFormHeight);

  Frame4.move(10, 10, 170, 230);
  Frame4.setCaption(std::u16string(text::kFrame4));
  fraErJi.move(190, 10, 170, 230);
  fraDang.move(370, 10, 220, 230);
  fraDang.setCaption(std::u16string(text::kFraDang));
  fraImg.move(10, 250, 580, 230);
  fraImg.setCaption(std::u16string(text::kNoFlashingCaption));

  lstCangKu.move(40, kListTop, 130, kListHeight);
  lstErJi.move(220, kListTop, 130, kListHeight);
  lstDang.move(400, kListTop, 180, 12 * kPlainRowHeight);
  lstDang.setRowHeight(kPlainRowHeight);
  placeRowLabels(lbCang, 20, u"A");
  placeRowLabels(lbEr, 200, u"01");
  placeRowLabels(lbN, 380, u"01");

  txtXiaLiao.move(110, 270, 80, 20);
  txtXiaLiao.setText(std::u16string(text::kDesignCutLength));
  txtDaJie.move(110, 300, 80, 20);
  txtDaJie.setText(std::u16string(text::kDesignOverlap));
  cboColor.move(110, 330, 80, 20);
  cboColor.setText(std::u16string(text::kDesignColour));
  txtShenChang.move(110, 360, 80, 20);
  txtShenChang.setText(std::u16string(text::kDesignExtension));
  txtZheSuan.move(110, 390, 80, 20);
  txtZheSuan.setText(std::u16string(text::kDesignFactor));

  // The preview area, black, with its white labels inside.
  Pic.move(220, 270, 342, 180);
  for (Label* label : {&lbW, &lbmm, &lbBiLi, &lbSc, &lbXing}) {
    label->setContainer(&Pic);
  }
  for (Label* label : {&lbW, &lbmm, &lbBiLi, &lbSc}) {
    label->setForeColor(kWhiteColor);
    label->setTop(4);
  }
  lbW.setLeft(56);
  lbW.setCaption(u"500");
  lbmm.setCaption(std::u16string(text::kMillimetres));
  lbmm.setLeft(lbW.left() + lbW.width() + 2);
  lbBiLi.setLeft(200);
  lbBiLi.setCaption(std::u16string(text::kScaleCaption));
  lbSc.setLeft(250);
  lbSc.setCaption(std::u16string(text::kScaleDesign));
  lbXing.move(0, 0, 24, 24);
  lbXing.setCaption(std::u16string(text::kMarkCaption));
  lbXing.setForeColor(kWhiteColor);
  lbXing.setVisible(false);

  txtProject.move(610, 30, 150, 20);
  txtProject.setText(std::u16string(text::kDesignProject));
  txtHou.move(610, 60, 150, 20);
  txtHou.setText(std::u16string(text::kDesignThickness));
  txtDeng.move(610, 90, 150, 20);
  txtDeng.setText(std::u16string(text::kDesignClassStep));
  txtZiGao.move(610, 120, 150, 20);
  txtZiGao.setText(std::u16string(text::kDesignTextHeight));

  lbCheng.move(610, 450, 0, 15);
  lbCheng.setCaption(std::u16string(text::kSaved));
  lbCheng.setVisible(false);

  const std::pair<Button*, std::u16string_view> buttons[] = {
      {&cmdOk, text::kCmdOk},          {&cmdCancel, text::kCmdCancel},
      {&cmdMoRen, text::kCmdMoRen},    {&cmdQingDan, text::kCmdQingDan},
      {&cmdAdd, text::kCmdAdd},        {&cmdAdd2, text::kCmdAdd2},
      {&cmdDelCang, text::kCmdDelete}, {&cmdDelEr, text::kCmdDelete},
      {&cmdDelDang, text::kCmdDelete}, {&cmdDingWei, text::kCmdDingWei},
      {&cmdJieTu, text::kCmdJieTu},    {&cmdHelp, text::kCmdHelp}};
  int32_t buttonTop = 160;
  for (const auto& [button, caption] : buttons) {
    button->move(610, buttonTop, 80, 24);
    button->setCaption(std::u16string(caption));
    buttonTop += 28;
  }
  mnuYou.setVisible(false);

  lstCangKu.onClick = [this] { libraryListClick(); };
  lstCangKu.onItemCheck = [this](int32_t row) { libraryBoxToggled(row); };
  lstErJi.onClick = [this] { flashingListClick(); };
  lstErJi.onItemCheck = [this](int32_t /*row*/) { flashingBoxToggled(); };
  for (ListBox* list : {&lstCangKu, &lstErJi, &lstDang}) {
    list->onScroll = [this, list] { relabel(*list); };
    list->onRightButtonUp = [this, list] { openContextMenu(*list); };
  }
  cmdOk.onClick = [this] { saveCommand(); };
  cmdCancel.onClick = [this] { closeCommand(); };
  cmdMoRen.onClick = [this] { restoreDefaults(); };
  cmdJieTu.onClick = [this] { captureCommand(); };
  cmdAdd.onClick = [this] { addLibraryCommand(); };
  cmdAdd2.onClick = [this] { addFlashingCommand(); };
  cmdDelCang.onClick = [this] { deleteLibrary(); };
  cmdDelEr.onClick = [this] { deleteFlashing(); };
  cmdDelDang.onClick = [this] { deleteCurrentUse(); };
  cmdDingWei.onClick = [this] { locate(); };
  cmdHelp.onClick = [this] { help(); };
  cmdQingDan.onClick = [this] { billCommand(); };
  lstDang.onDblClick = [this] { locate(); };
  mnuName.onClick = [this] { renameCommand(); };
  mnuDingWei.onClick = [this] { locate(); };
  mnuDel.onClick = [this] { deleteFromMenu(); };
  mnuTop.onClick = [this] { moveCommand(Move::Top); };
  mnuUp.onClick = [this] { moveCommand(Move::Up); };
  mnuDown.onClick = [this] { moveCommand(Move::Down); };
  mnuBottom.onClick = [this] { moveCommand(Move::Bottom); };
  mnuSort.onClick = [this] { sortCommand(); };
  Timer1.onTimer = [this] { timerTick(); };

  finishDesign();
}

FrmSet::~FrmSet() = default;

preview::PreviewArea& FrmSet::previewArea() {
  return *preview_;
}

void FrmSet::showError(const std::u16string& description) {
  showErrorDescription(ui(), description);
}

void FrmSet::show(std::u16string_view request, const std::vector<Variant>& profile) {
  if (request.starts_with(u"dao")) {
    captureReturn(request, profile);
  }
  load();
  Timer1.setTag(u"top");
  showTopmostModal(*this, Timer1);
}

void FrmSet::saveCommand() {
  if (Save2(false)) {
    process_.resultString = u"c";
  }
}

void FrmSet::closeCommand() {
  try {
    process_.resultString = u"c";
    unload();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::onQueryUnload(bool& cancel) {
  try {
    for (const TextBox* box : {&txtProject, &txtHou, &txtDeng, &txtZiGao}) {
      if (box->text() != box->tag()) {
        state_.modified = true;
      }
    }
    if (state_.modified) {
      const MsgAnswer answer =
          ui().messageBox(text::kSaveQuestion, std::u16string(text::kSaveTitle), MsgIcon::Question,
                          MsgButtons::YesNoCancel);
      if (answer == MsgAnswer::Cancel || (answer == MsgAnswer::Yes && !Save2(false))) {
        cancel = true;
        return;
      }
    }
    process_.resultString = u"c";
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::onUnload() {
  try {
    writeDangSel(*process_.settings,
                 {lstDang.listIndex(), lstCangKu.listIndex(), lstErJi.listIndex()});
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::timerTick() {
  try {
    if (Timer1.tag() == u"save") {
      lbCheng.setVisible(false);
    } else if (Timer1.tag() == u"top") {
      setWindowTopmost(*this, false);
    }
    endTimer1Tick(*this, Timer1);
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

}  // namespace kvm
