#include "aliases/frm_help.h"

#include <memory>
#include <string>
#include <vector>

#include "aliases/alias_rules.h"
#include "aliases/alias_texts.h"
#include "aliases/host_toolbar.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "session/lisp_bridge.h"
#include "session/process.h"
#include "storage/settings_store.h"

namespace kvm {

namespace text = alias_text;

namespace {

constexpr int32_t kCommands = static_cast<int32_t>(kAliasCommands.size());
constexpr int32_t kFormWidth = 560;
constexpr int32_t kFormHeight = 330;
constexpr int32_t kFirstRowTop = 70;
constexpr int32_t kRowPitch = 26;
constexpr int32_t kNoteTop = 180;
constexpr int32_t kNoteLinePitch = 18;

const AliasCommand& command(int32_t index) {
  return kAliasCommands[static_cast<std::size_t>(index)];
}

bool isFailureMarker(const Variant& result) {
  return result.isNumeric() && !result.holds<bool>() && toDouble(result) == kLispFailureMarker;
}

// Runs a step of the dialog under its error handler: a run-time error is shown.
template <class Step>
void guarded(Ui& ui, Step step) {
  try {
    step();
  } catch (const RuntimeError& error) {
    showErrorDescription(ui, error.description());
  }
}

}  // namespace

FrmHelp::FrmHelp(ProcessContext& process)
    : Form(process.ui, u"frmHelp"),
      lbIntro(*this, u"lbIntro", 2),
      lbHead(*this, u"lbHead", 5),
      lbNo(*this, u"lbNo", kCommands),
      sdfg(*this, u"sdfg", kCommands),
      txtNm(*this, u"txtNm", kCommands),
      lbFun(*this, u"lbFun", kCommands),
      Lb(*this, u"Lb", 4),
      cmdDefault(*this, u"cmdDefault"),
      cmdSave(*this, u"cmdSave"),
      chkOpen(*this, u"chkOpen", std::u16string(text::kChkOpen)),
      cmdClose(*this, u"cmdClose"),
      process_(process) {
  setCaption(std::u16string(text::kCaption));
  setSize(kFormWidth, kFormHeight);
  for (int32_t i = 0; i < lbIntro.count(); ++i) {
    lbIntro[i].move(12, 10 + 16 * i, 536, 16);
    lbIntro[i].setCaption(std::u16string(text::kIntroLines[static_cast<std::size_t>(i)]));
  }
  constexpr std::array<int32_t, 5> kColumnLeft{12, 60, 200, 290, 500};
  constexpr std::array<int32_t, 5> kColumnWidth{40, 130, 80, 200, 40};
  for (int32_t col = 0; col < lbHead.count(); ++col) {
    const auto at = static_cast<std::size_t>(col);
    lbHead[col].move(kColumnLeft[at], 48, kColumnWidth[at], 16);
    lbHead[col].setCaption(std::u16string(text::kColumnCaptions[at]));
  }
  for (int32_t i = 0; i < kCommands; ++i) {
    const int32_t top = kFirstRowTop + kRowPitch * i;
    lbNo[i].move(kColumnLeft[0], top, kColumnWidth[0], 20);
    lbNo[i].setCaption(decimal(i + 1));
    sdfg[i].move(kColumnLeft[1], top, kColumnWidth[1], 20);
    sdfg[i].setText(std::u16string(command(i).fullName));
    txtNm[i].move(kColumnLeft[2], top, kColumnWidth[2], 20);
    // As designed the boxes hold the default aliases, unchanged.
    txtNm[i].setText(std::u16string(command(i).defaultAlias));
    txtNm[i].setTag(std::u16string(command(i).defaultAlias));
    lbFun[i].move(kColumnLeft[3], top, kColumnWidth[3], 20);
    lbFun[i].setCaption(std::u16string(command(i).function));
  }
  for (int32_t i = 0; i < Lb.count(); ++i) {
    Lb[i].move(12, kNoteTop + kNoteLinePitch * i, 536, 16);
  }
  cmdDefault.move(12, 260, 110, 28);
  cmdDefault.setCaption(std::u16string(text::kCmdDefault));
  cmdSave.move(134, 260, 110, 28);
  cmdSave.setCaption(std::u16string(text::kCmdSave));
  chkOpen.move(270, 264, 110, 20);
  cmdClose.move(436, 260, 110, 28);
  cmdClose.setCaption(std::u16string(text::kCmdClose));

  cmdDefault.onClick = [this] { restoreDefaults(); };
  cmdSave.onClick = [this] { save(); };
  chkOpen.onClick = [this] { toggleToolbar(); };
  cmdClose.onClick = [this] { unload(); };
  finishDesign();
}

void FrmHelp::onLoad() {
  for (int32_t i = 0; i < Lb.count(); ++i) {
    Lb[i].setCaption(std::u16string(text::kNoteLines[static_cast<std::size_t>(i)]));
  }
  // A host that cannot tell about its toolbar still gets its aliases loaded.
  guarded(ui(), [this] { loadToolbarState(); });
  guarded(ui(), [this] { loadAliases(); });
}

void FrmHelp::loadToolbarState() {
  const DispatchPtr toolbar = findSystemToolbar(process_.hostApplication);
  if (!toolbar) {
    return;
  }
  chkOpen.setTag(u"1");
  chkOpen.setValue(toBoolean(get(toolbar, u"Visible")) ? 1 : 0);
  chkOpen.setTag(u"");
}

void FrmHelp::loadAliases() {
  const auto stored = process_.settings->registryGet(kAliasValueName);
  if (!stored) {
    return;
  }
  const auto aliases = split(normaliseStoredAliases(*stored), u" ");
  for (int32_t i = 0; i < kCommands; ++i) {
    if (static_cast<std::size_t>(i) >= aliases.size()) {
      raise(err::kSubscriptOutOfRange);
    }
    const auto& alias = aliases[static_cast<std::size_t>(i)];
    txtNm[i].setText(alias);
    txtNm[i].setTag(alias);
  }
}

bool FrmHelp::save() {
  bool saved = false;
  guarded(ui(), [this, &saved] {
    if (!checkAliases()) {
      return;
    }
    std::vector<std::u16string> aliases;
    aliases.reserve(kAliasCommands.size());
    for (int32_t i = 0; i < kCommands; ++i) {
      aliases.push_back(trimSpaces(txtNm[i].text()));
    }
    try {
      process_.settings->registrySet(kAliasValueName, joinAliases(aliases));
    } catch (const RuntimeError&) {
      return;  // quietly: the save just did not happen
    }
    saved = defineAliases();
  });
  return saved;
}

bool FrmHelp::checkAliases() {
  for (int32_t i = 0; i < kCommands; ++i) {
    TextBox& box = txtNm[i];
    if (const auto refusal = aliasRefusal(trimSpaces(box.text()), command(i).defaultAlias)) {
      showMessage(ui(), *refusal);
      box.setFocus();
      box.selectAll();
      return false;
    }
  }
  return true;
}

bool FrmHelp::defineAliases() {
  const DispatchPtr& application = process_.hostApplication;
  {
    const auto version = toString(get(application, u"Version"));
    // The dialog's own Visual LISP application, let go as soon as its functions are held.
    const DispatchPtr vlApplication =
        requireObject(call(application, u"GetInterfaceObject", {visualLispProgramId(version)}));
    functions_ = getObject(getObject(vlApplication, u"ActiveDocument"), u"Functions");
  }
  bool failed = false;
  for (int32_t i = 0; i < kCommands; ++i) {
    const auto alias = trimSpaces(txtNm[i].text());
    txtNm[i].setTag(alias);
    // A failed definition does not stop the others.
    if (isFailureMarker(
            evaluateLisp(functions_, aliasDefinition(alias, command(i).fullName), ui()))) {
      failed = true;
    }
  }
  if (failed) {
    showMessage(ui(), text::kDefinitionFailed);
    return false;
  }
  showMessage(ui(), text::kSaved, std::u16string(text::kSavedTitle));
  return true;
}

void FrmHelp::restoreDefaults() {
  for (int32_t i = 0; i < kCommands; ++i) {
    txtNm[i].setText(std::u16string(command(i).defaultAlias));
  }
}

void FrmHelp::toggleToolbar() {
  if (!chkOpen.tag().empty()) {
    return;
  }
  guarded(ui(), [this] {
    const DispatchPtr toolbar = findSystemToolbar(process_.hostApplication);
    if (!toolbar) {
      return;
    }
    put(toolbar, u"Visible", chkOpen.value() == 1);
    call(process_.hostApplication, u"Update");
  });
}

bool FrmHelp::modified() const {
  for (int32_t i = 0; i < kCommands; ++i) {
    if (trimSpaces(txtNm[i].text()) != txtNm[i].tag()) {
      return true;
    }
  }
  return false;
}

void FrmHelp::onQueryUnload(bool& cancel) {
  if (!modified()) {
    return;
  }
  const MsgAnswer answer =
      ui().messageBox(text::kSaveQuestion, std::u16string(text::kSaveQuestionTitle),
                      MsgIcon::Question, MsgButtons::YesNoCancel);
  if (answer == MsgAnswer::Yes) {
    cancel = !save();
  } else if (answer == MsgAnswer::Cancel) {
    cancel = true;
  }
}

void FrmHelp::onUnload() {
  functions_.reset();
}

FrmHelp& frmHelp(ProcessContext& process) {
  if (!process.frmHelp) {
    process.frmHelp = std::make_shared<FrmHelp>(process);
  }
  return *process.frmHelp;
}

}  // namespace kvm
