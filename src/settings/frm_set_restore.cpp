// Restore defaults: the built-in database in the dialog, written to disk only by a save.
#include "base/runtime_error.h"
#include "model/project_settings.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/list_tag.h"
#include "settings/settings_state.h"
#include "storage/database_file.h"

namespace kvm {

namespace text = frm_set_text;

void FrmSet::restoreDefaults() {
  try {
    const std::u16string quote = u"\"";
    const std::u16string lineBreak = u"\r\n";
    const std::u16string question = std::u16string(text::kRestoreLine1) + lineBreak + quote +
                                    std::u16string(text::kSaveTitle) + quote +
                                    std::u16string(text::kRestoreLine2End) + lineBreak +
                                    std::u16string(text::kRestoreLine3Start) + quote +
                                    databasePath(programDirectory()).u16string() + quote +
                                    std::u16string(text::kRestoreLine3End);
    if (ui().messageBox(question, std::u16string(text::kRestoreTitle), MsgIcon::Question,
                        MsgButtons::YesNoCancel) != MsgAnswer::Yes) {
      return;
    }
    const ProjectSettings defaults = defaultProjectSettings();
    txtProject.setText(defaults.ProjectName);
    txtHou.setText(defaults.PlateThickness);
    txtDeng.setText(defaults.LengthClassStep);
    txtZiGao.setText(defaults.TextHeight);

    state_.libraries = restoreDefaultTable(programDirectory());
    state_.modified = true;
    lstDang.clear();
    lstCangKu.clear();
    lstErJi.clear();
    fillLibraryList();
    if (lstCangKu.listCount() > 0) {
      const ListTagGuard guard(lstCangKu);
      lstCangKu.setListIndex(0);
    }
    libraryListClick();
    // The lists start again from their first row; so do their labels.
    relabel(lstCangKu);
    relabel(lstDang);
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

}  // namespace kvm
