// Save2: the checks of the project settings and the attribute panel, the store of the panel
// into the selected flashing and the full save.
#include <cmath>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "model/attribute_ranges.h"
#include "model/project_settings.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/panel_rules.h"
#include "settings/settings_state.h"
#include "storage/database_file.h"
#include "storage/stored_settings.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

// A refused value is selected from its start, 6 characters, for the user to retype.
constexpr int32_t kRefusedSelection = 6;

void refuse(TextBox& box, std::u16string_view message, std::optional<std::u16string_view> title,
            bool wholeText = false) {
  box.form().ui().messageBox(message, title ? std::optional<std::u16string>(*title) : std::nullopt,
                             MsgIcon::Information, MsgButtons::Ok);
  box.setFocus();
  if (wholeText) {
    box.selectAll();
  } else {
    box.select(0, kRefusedSelection);
  }
}

int16_t wholeInteger(double value) {
  return toIntegerRounded(value);
}

}  // namespace

bool FrmSet::Save2(bool panelOnly) {
  try {
    const bool flashingShown = !lstCangKu.text().empty() && !lstErJi.text().empty();
    std::u16string thickness;
    if (!panelOnly && !validateProject(thickness)) {
      return false;
    }
    if (flashingShown) {
      Flashing panel;
      if (!validatePanel(panel)) {
        return false;
      }
      storePanel(panel);
    }
    if (!panelOnly) {
      saveEverything(thickness);
    }
    return true;
  } catch (const RuntimeError& error) {
    showError(error.description());
    return false;
  }
}

bool FrmSet::validateProject(std::u16string& keptThickness) {
  if (!keptProjectName(txtProject.text())) {
    refuse(txtProject, text::kProjectMessage, std::nullopt, true);
    return false;
  }
  const auto thickness = kvm::keptThickness(txtHou.text());
  if (!thickness) {
    refuse(txtHou, text::kThicknessMessage, text::kThicknessTitle);
    return false;
  }
  if (!wholeNumberIn(txtDeng.text(), 0, 500)) {
    refuse(txtDeng, text::kClassStepMessage, text::kClassStepTitle);
    return false;
  }
  if (!wholeNumberIn(txtZiGao.text(), 100, 600)) {
    refuse(txtZiGao, text::kTextHeightMessage, text::kTextHeightTitle);
    return false;
  }
  keptThickness = *thickness;
  return true;
}

bool FrmSet::validatePanel(Flashing& panel) {
  const auto cutLength =
      wholeNumberIn(txtXiaLiao.text(), kMaxCutLengthRange.low, kMaxCutLengthRange.high);
  if (!cutLength) {
    refuse(txtXiaLiao, text::kCutLengthMessage, text::kCutLengthTitle);
    return false;
  }
  const auto overlap = wholeNumberIn(txtDaJie.text(), kOverlapRange.low, kOverlapRange.high);
  if (!overlap) {
    refuse(txtDaJie, text::kOverlapMessage, text::kOverlapTitle);
    return false;
  }
  const auto colour = keptColour(cboColor.text());
  if (!colour) {
    refuse(cboColor, text::kColourMessage, text::kColourTitle);
    return false;
  }
  const auto extension =
      wholeNumberIn(txtShenChang.text(), kEndExtensionRange.low, kEndExtensionRange.high);
  if (!extension) {
    refuse(txtShenChang, text::kExtensionMessage, text::kExtensionTitle);
    return false;
  }
  const auto factor = keptFactor(txtZheSuan.text());
  if (!factor) {
    refuse(txtZheSuan, text::kFactorMessage, text::kFactorTitle);
    return false;
  }
  panel.MaxCutLength = wholeInteger(*cutLength);
  panel.Overlap = wholeInteger(*overlap);
  panel.Color = *colour;
  panel.EndExtension = wholeInteger(*extension);
  panel.LengthFactor = static_cast<float>(parseNumber(*factor).value_or(0));
  panel.DevelopedWidth = toIntegerRounded(std::floor(leadingNumber(lbW.caption())));
  panel.ScaleCode =
      toByteRounded(leadingNumber(std::u16string_view(lbSc.caption())
                                      .substr(std::min<std::size_t>(2, lbSc.caption().size()), 1)));
  return true;
}

void FrmSet::storePanel(const Flashing& panel) {
  FlashingLibrary& library = state_.libraries.at(static_cast<std::size_t>(lstCangKu.listIndex()));
  if (library.Name != lstCangKu.text() || !library.Flashings.isAllocated()) {
    return;
  }
  Flashing& flashing = library.Flashings.at(static_cast<std::size_t>(lstErJi.listIndex()));
  if (flashing.Name != lstErJi.text()) {
    return;
  }
  const bool differs =
      flashing.Color != panel.Color || flashing.MaxCutLength != panel.MaxCutLength ||
      flashing.Overlap != panel.Overlap || flashing.EndExtension != panel.EndExtension ||
      flashing.LengthFactor != panel.LengthFactor ||
      flashing.DevelopedWidth != panel.DevelopedWidth || flashing.ScaleCode != panel.ScaleCode;
  if (!differs) {
    return;
  }
  // Marked even on the way to a full save: should writing the file then fail, the edit is
  // still in memory and the close must still ask.
  state_.modified = true;
  flashing.Color = panel.Color;
  flashing.MaxCutLength = panel.MaxCutLength;
  flashing.Overlap = panel.Overlap;
  flashing.EndExtension = panel.EndExtension;
  flashing.LengthFactor = panel.LengthFactor;
  flashing.DevelopedWidth = panel.DevelopedWidth;
  flashing.ScaleCode = panel.ScaleCode;
}

void FrmSet::saveEverything(const std::u16string& keptThickness) {
  const ProjectSettings project{trimSpaces(txtProject.text()), keptThickness,
                                trimSpaces(txtDeng.text()), trimSpaces(txtZiGao.text())};
  std::vector<std::u16string> currentUse;
  for (const auto& item : lstDang.items()) {
    currentUse.push_back(item.text);
  }
  writeDang(*process_.settings, project, currentUse);
  saveDatabase(databasePath_, state_.libraries);

  for (TextBox* box : {&txtProject, &txtHou, &txtDeng, &txtZiGao}) {
    box->setTag(box->text());
  }
  state_.modified = false;
  lbCheng.setVisible(true);
  Timer1.setTag(u"save");
  Timer1.setEnabled(true);
}

}  // namespace kvm
