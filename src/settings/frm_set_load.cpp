// The load sequence of the settings dialog.
#include "base/runtime_error.h"
#include "model/current_use.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/list_tag.h"
#include "settings/row_labels.h"
#include "settings/settings_state.h"
#include "storage/database_file.h"
#include "storage/stored_settings.h"

namespace kvm {

namespace {

constexpr int32_t kRowLabels = 12;
constexpr int32_t kRowLabelStep = 15;

}  // namespace

void FrmSet::onLoad() {
  // Only a failure to read the database file starts its recovery; any other failure shows its
  // description and the load goes on, so a good file is never given up for it.
  try {
    setCaption(std::u16string(frm_set_text::kCaptionStart) + version_ +
               std::u16string(frm_set_text::kCaptionEnd));
    prepareListRows();
    restoreProjectAndCurrentUse();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
  loadDatabase();
  try {
    restoreSelections();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
  centre();
  installWindowProcedures();
}

void FrmSet::prepareListRows() {
  lstDang.setRowHeight(lstDang.rowHeight() + 2);
  lstDang.setHeight(lstCangKu.height());
  const int32_t top = lbN[0].top();
  for (int32_t i = 1; i < kRowLabels; ++i) {
    const std::pair<ControlArray<Label>*, std::u16string> rows[] = {
        {&lbN, numberRowLabel(i)}, {&lbCang, libraryRowLabel(i)}, {&lbEr, numberRowLabel(i)}};
    for (const auto& [labels, caption] : rows) {
      Label& label = (*labels)[i];
      label.move((*labels)[0].left(), top + i * kRowLabelStep, (*labels)[0].width(),
                 (*labels)[0].height());
      label.setVisible(true);
      label.setCaption(caption);
    }
  }
}

void FrmSet::restoreProjectAndCurrentUse() {
  const auto dang = readDang(*process_.settings);
  if (!dang) {
    return;
  }
  const std::pair<TextBox*, const std::u16string*> boxes[] = {
      {&txtProject, &dang->project.ProjectName},
      {&txtHou, &dang->project.PlateThickness},
      {&txtDeng, &dang->project.LengthClassStep},
      {&txtZiGao, &dang->project.TextHeight}};
  for (const auto& [box, value] : boxes) {
    box->setText(*value);
    box->setTag(*value);
  }
  for (const auto& row : dang->currentUse) {
    lstDang.addItem(row);
  }
}

std::filesystem::path FrmSet::programDirectory() {
  if (process_.programDirectory.empty()) {
    process_.programDirectory = u"C:\\QORNCAD";
  }
  return process_.programDirectory;
}

void FrmSet::loadDatabase() {
  try {
    databasePath_ = databasePath(programDirectory());
    DatabaseLoad load = loadDatabaseWithRecovery(databasePath_, *process_.settings);
    state_.libraries = std::move(load.table);
    if (load.failure) {
      showError(failedLoadMessage(load));
    }
    fillLibraryList();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::fillLibraryList() {
  std::vector<std::u16string> entries;
  for (const auto& item : lstDang.items()) {
    entries.push_back(item.text);
  }
  const ListTagGuard guard(lstCangKu);
  for (const FlashingLibrary& library : state_.libraries) {
    lstCangKu.addItem(library.Name);
    if (isLibraryTicked(entries, library.Name)) {
      lstCangKu.setSelected(lstCangKu.listCount() - 1, true);
    }
  }
}

void FrmSet::restoreSelections() {
  const auto selections = readDangSel(*process_.settings);
  if (!selections) {
    return;
  }
  if (selections->currentUseRow >= 0 && selections->currentUseRow < lstDang.listCount()) {
    lstDang.setListIndex(selections->currentUseRow);
  }
  if (selections->libraryRow >= 0 && selections->libraryRow < lstCangKu.listCount()) {
    {
      const ListTagGuard guard(lstCangKu);
      lstCangKu.setListIndex(selections->libraryRow);
    }
    showLibrary(-1);
  }
  if (selections->flashingRow < lstErJi.listCount()) {
    lstErJi.setListIndex(selections->flashingRow < 0 ? -1 : selections->flashingRow);
  }
  for (const ListBox* list : {&lstDang, &lstCangKu, &lstErJi}) {
    if (list->listCount() > kRowLabels) {
      relabel(*list);
    }
  }
}

void FrmSet::centre() {
  const ScreenSize screen = ui().screenSize();
  move((screen.width - width()) / 2, (screen.height - height()) / 2);
}

}  // namespace kvm
