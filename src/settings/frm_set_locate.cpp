// Locate a current-use entry in the library and flashing lists, and the help command.
#include "aliases/alias_editor.h"
#include "base/runtime_error.h"
#include "model/current_use.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/list_rows.h"
#include "settings/list_tag.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

constexpr int32_t kRowLabels = 12;

}  // namespace

void FrmSet::locate() {
  try {
    if (lstDang.listIndex() < 0) {
      showMessage(ui(), text::kLocateNoEntry, std::u16string(text::kLocateTitle));
      lstDang.setFocus();
      return;
    }
    if (!Save2(true)) {
      return;
    }
    const CurrentUseParts parts = splitCurrentUseEntry(lstDang.text());
    if (parts.library.empty()) {
      return;
    }
    const int32_t libraryRow = findRow(lstCangKu, parts.library);
    if (libraryRow < 0) {
      showMessage(ui(), std::u16string(text::kLocateNoLibrary) + parts.library +
                            std::u16string(text::kFullStop));
      return;
    }
    {
      const ListTagGuard guard(lstCangKu);
      lstCangKu.setListIndex(libraryRow);
    }
    showLibrary(-1);
    if (lstCangKu.listCount() > kRowLabels) {
      relabel(lstCangKu);
    }
    bool found = false;
    if (lstErJi.listCount() > 0) {
      const int32_t flashingRow = findRow(lstErJi, parts.flashing);
      if (flashingRow >= 0) {
        {
          const ListTagGuard guard(lstErJi);
          lstErJi.setListIndex(flashingRow);
        }
        flashingListClick();
        found = true;
      }
      relabel(lstErJi);
    }
    if (!found) {
      showMessage(ui(), std::u16string(text::kLocateNoFlashing) + parts.flashing +
                            std::u16string(text::kFullStop));
    }
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::help() {
  try {
    Timer1.setEnabled(false);
    showAliasEditor(process_);
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

}  // namespace kvm
