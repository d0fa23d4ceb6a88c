// The editing commands of the settings dialog: add and rename a library or a flashing, and
// the three deletes.
#include "base/runtime_error.h"
#include "base/text.h"
#include "model/current_use.h"
#include "session/process.h"
#include "settings/frm_add.h"
#include "settings/frm_re_name.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/list_rows.h"
#include "settings/list_tag.h"
#include "settings/name_rules.h"
#include "settings/settings_state.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

constexpr auto kMaxLibraryRows = static_cast<int32_t>(kMaxLibraries);
constexpr auto kMaxFlashingRows = static_cast<int32_t>(kMaxFlashingsPerLibrary);
constexpr std::size_t kMaxRenamedBytes = 20;
constexpr int32_t kRowLabels = 12;
// The current-use list's labels follow a removal from this many rows on.
constexpr int32_t kRelabelAfterRemovalFrom = 11;

Flashing newFlashing(const std::u16string& name) {
  Flashing flashing;
  flashing.Name = name;
  flashing.MaxCutLength = 4000;
  flashing.Overlap = 100;
  flashing.Color = std::u16string(text::kDesignColour);
  flashing.EndExtension = 100;
  flashing.LengthFactor = 1.0F;
  flashing.DevelopedWidth = 500;
  flashing.ScaleCode = 1;
  return flashing;
}

bool askToDelete(Ui& ui, const std::u16string& question, std::u16string_view title) {
  return ui.messageBox(question, std::u16string(title), MsgIcon::Question,
                       MsgButtons::YesNoCancel) == MsgAnswer::Yes;
}

void untick(ListBox& list, std::u16string_view text) {
  const int32_t row = findRow(list, text);
  if (row >= 0) {
    const ListTagGuard guard(list);
    list.setSelected(row, false);
  }
}

}  // namespace

void FrmSet::addLibraryCommand() {
  try {
    if (lstCangKu.listCount() >= kMaxLibraryRows) {
      showMessage(ui(), text::kLibraryLimit);
      return;
    }
    cmdAdd.setTag(u"1");
    if (!state_.frmAdd) {
      state_.frmAdd = std::make_unique<FrmAdd>(process_.ui, *this);
    }
    state_.frmAdd->showModal();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::addFlashingCommand() {
  try {
    // Without a selected library there is nowhere to add a flashing.
    if (lstCangKu.listIndex() < 0) {
      showMessage(ui(), text::kSelectLibraryFirst);
      lstCangKu.setFocus();
      return;
    }
    if (lstErJi.listCount() >= kMaxFlashingRows) {
      showMessage(ui(), text::kFlashingLimit);
      return;
    }
    cmdAdd.setTag(u"2");
    if (!state_.frmAdd) {
      state_.frmAdd = std::make_unique<FrmAdd>(process_.ui, *this);
    }
    state_.frmAdd->showModal();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::appendLibrary(const std::u16string& name) {
  state_.libraries.push_back(FlashingLibrary{name, {}, 0});
  lstCangKu.addItem(name);
  lstCangKu.setListIndex(lstCangKu.listCount() - 1);
  if (lstCangKu.listCount() > kRowLabels) {
    relabel(lstCangKu);
  }
  state_.modified = true;
}

void FrmSet::appendFlashing(const std::u16string& name) {
  FlashingLibrary& library = state_.libraries.at(recordIndex(lstCangKu.listIndex()));
  if (library.Name == lstCangKu.text()) {
    library.Flashings.push_back(newFlashing(name));
  }
  lstErJi.addItem(name);
  lstErJi.setListIndex(lstErJi.listCount() - 1);
  lbBiLi.setForeColor(kWhiteColor);
  lbSc.setForeColor(kWhiteColor);
  if (lstErJi.listCount() > kRowLabels) {
    relabel(lstErJi);
  }
  state_.modified = true;
}

void FrmSet::renameCommand() {
  try {
    if (menuSource_ == nullptr || menuSource_ == &lstDang) {
      return;
    }
    ListBox& list = *menuSource_;
    const bool libraries = &list == &lstCangKu;
    if (list.listIndex() < 0) {
      showMessage(
          ui(), libraries ? text::kReNameNoLibrary : text::kReNameNoFlashing,
          std::u16string(libraries ? text::kReNameLibraryTitle : text::kReNameFlashingTitle));
      list.setFocus();
      return;
    }
    if (!state_.frmReName) {
      state_.frmReName = std::make_unique<FrmReName>(process_.ui, *this);
    }
    FrmReName& dialog = *state_.frmReName;
    dialog.load();
    if (!libraries) {
      dialog.setCaption(std::u16string(text::kReNameFlashingCaption));
    }
    dialog.txtName0.setText(list.text());
    dialog.showModal();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

bool FrmSet::reName(const std::u16string& name) {
  try {
    if (menuSource_ == nullptr) {
      return true;
    }
    ListBox& list = *menuSource_;
    const bool libraries = &list == &lstCangKu;
    const std::u16string noun(libraries ? text::kNounLibrary : text::kNounFlashing);
    const std::u16string title(text::kReNameTitle);
    switch (checkNewName(name, kMaxRenamedBytes)) {
      case NameFault::Empty:
        showMessage(ui(),
                    std::u16string(text::kPleaseEnter) + noun + std::u16string(text::kNameEnd),
                    title);
        return false;
      case NameFault::Blank:
        showMessage(ui(), noun + std::u16string(text::kNoBlank), title);
        return false;
      case NameFault::TooLong:
        showMessage(ui(), noun + std::u16string(text::kReNameTooLong));
        return false;
      case NameFault::None: break;
    }
    const int32_t row = list.listIndex();
    const int32_t same = findRow(list, name, row);
    if (same >= 0) {
      showMessage(ui(), noun + std::u16string(text::kReNameDuplicate) + decimal(same + 1) +
                            std::u16string(text::kDuplicateEnd));
      return false;
    }
    if (row < 0) {
      return true;
    }

    const std::u16string oldName = list.text();
    {
      const ListTagGuard guard(list);
      replaceRow(list, row, name);
      list.setListIndex(row);
    }
    if (libraries) {
      FlashingLibrary& library = state_.libraries.at(recordIndex(row));
      if (library.Name == oldName) {
        library.Name = name;
        fraErJi.setCaption(name);
        renameLibraryEntries(oldName, name);
        state_.modified = true;
      }
    } else if (&list == &lstErJi) {
      const std::u16string libraryText = lstCangKu.text();
      FlashingLibrary& library = state_.libraries.at(recordIndex(lstCangKu.listIndex()));
      if (library.Name == libraryText) {
        Flashing& flashing = library.Flashings.at(recordIndex(row));
        if (flashing.Name == oldName) {
          flashing.Name = name;
          state_.modified = true;
          replaceCurrentUseEntry(currentUseEntry(libraryText, oldName),
                                 currentUseEntry(libraryText, name));
        }
      }
    }
    return true;
  } catch (const RuntimeError& error) {
    showError(error.description());
    return false;
  }
}

void FrmSet::renameLibraryEntries(const std::u16string& oldName, const std::u16string& newName) {
  const int32_t selected = lstDang.listIndex();
  for (int32_t row = 0; row < lstDang.listCount(); ++row) {
    const std::u16string entry = lstDang.list(row);
    if (entryBelongsToLibrary(entry, oldName)) {
      replaceRow(lstDang, row, currentUseEntry(newName, splitCurrentUseEntry(entry).flashing));
    }
  }
  lstDang.setListIndex(selected);
}

void FrmSet::replaceCurrentUseEntry(const std::u16string& oldEntry,
                                    const std::u16string& newEntry) {
  const int32_t selected = lstDang.listIndex();
  for (int32_t row = 0; row < lstDang.listCount(); ++row) {
    if (lstDang.list(row) == oldEntry) {
      replaceRow(lstDang, row, newEntry);
    }
  }
  lstDang.setListIndex(selected);
}

void FrmSet::deleteLibrary() {
  try {
    const int32_t row = lstCangKu.listIndex();
    if (row < 0) {
      showMessage(ui(), text::kDeleteNoLibrary);
      lstCangKu.setFocus();
      return;
    }
    const std::u16string question = std::u16string(text::kDeleteLibraryWarning) + u"\r\n" +
                                    std::u16string(text::kDeleteLibraryQuestion) +
                                    lstCangKu.text() + std::u16string(text::kDeleteQuestionEnd);
    if (!askToDelete(ui(), question, text::kDeleteLibraryTitle)) {
      return;
    }
    // The last library leaves the table unallocated.
    state_.libraries.eraseAt(recordIndex(row));
    state_.modified = true;
    lstCangKu.removeItem(row);
    libraryListClick();
  } catch (const RuntimeError& error) {
    showError(error.description() + std::u16string(text::kErrorNumberSeparator) +
              decimal(error.number()));
  }
}

void FrmSet::deleteFlashing() {
  try {
    const int32_t libraryRow = lstCangKu.listIndex();
    if (libraryRow < 0) {
      showMessage(ui(), text::kSelectLibraryFirst);
      lstCangKu.setFocus();
      return;
    }
    const int32_t row = lstErJi.listIndex();
    if (row < 0) {
      showMessage(ui(), text::kDeleteNoFlashing);
      lstErJi.setFocus();
      return;
    }
    const std::u16string flashingText = lstErJi.text();
    if (!askToDelete(ui(),
                     std::u16string(text::kDeleteQuestion) + flashingText +
                         std::u16string(text::kDeleteQuestionEnd),
                     text::kDeleteTitle)) {
      return;
    }
    const std::u16string libraryText = lstCangKu.text();
    FlashingLibrary& library = state_.libraries.at(recordIndex(libraryRow));
    if (!libraryText.empty() && library.Name == libraryText) {
      // The flashing the row shows; only a table out of step with the list makes it another
      // one of that name.
      const auto& flashings = library.Flashings.elements();
      std::size_t index = recordIndex(row);
      if (index >= flashings.size() || flashings[index].Name != flashingText) {
        index = 0;
        while (index < flashings.size() && flashings[index].Name != flashingText) {
          ++index;
        }
      }
      if (index < flashings.size()) {
        // The only flashing leaves the library without a flashings array.
        library.Flashings.eraseAt(index);
      }
    }
    state_.modified = true;
    lstErJi.removeItem(row);
    flashingListClick();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::deleteCurrentUse() {
  try {
    const int32_t row = lstDang.listIndex();
    if (row < 0) {
      showMessage(ui(), text::kDeleteNoFlashing);
      lstDang.setFocus();
      return;
    }
    const std::u16string entry = lstDang.text();
    if (!askToDelete(ui(),
                     std::u16string(text::kDeleteQuestion) + entry +
                         std::u16string(text::kDeleteQuestionEnd),
                     text::kDeleteTitle)) {
      return;
    }
    // An entry without a colon has no flashing part; it can still be deleted.
    const CurrentUseParts parts = splitCurrentUseEntry(entry);
    lstDang.removeItem(row);
    state_.modified = true;
    if (lstDang.listCount() > 0) {
      lstDang.setListIndex(std::min(row, lstDang.listCount() - 1));
    }

    if (parts.library != lstCangKu.text()) {
      std::vector<std::u16string> entries;
      for (const auto& item : lstDang.items()) {
        entries.push_back(item.text);
      }
      if (!isLibraryTicked(entries, parts.library)) {
        untick(lstCangKu, parts.library);
      }
    } else {
      untick(lstErJi, parts.flashing);
      if (!anyTicked(lstErJi)) {
        untick(lstCangKu, parts.library);
      }
    }
    if (lstDang.listCount() >= kRelabelAfterRemovalFrom) {
      relabel(lstDang);
    }
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::deleteFromMenu() {
  if (menuSource_ == &lstDang) {
    deleteCurrentUse();
  } else if (menuSource_ == &lstCangKu) {
    deleteLibrary();
  } else if (menuSource_ == &lstErJi) {
    deleteFlashing();
  }
}

}  // namespace kvm
