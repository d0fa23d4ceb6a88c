// The three lists of the settings dialog: filling, selection, ticks, row labels, the context
// menu and the window procedures that check the attribute panel before the selection moves.
#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "model/current_use.h"
#include "preview/profile_preview.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/list_tag.h"
#include "settings/menu_enabling.h"
#include "settings/row_labels.h"
#include "settings/settings_state.h"

namespace kvm {

namespace {

constexpr int32_t kRowLabels = 12;

bool containsRow(const ListBox& list, std::u16string_view text) {
  for (const auto& item : list.items()) {
    if (item.text == text) {
      return true;
    }
  }
  return false;
}

bool anyTicked(const ListBox& list) {
  for (const auto& item : list.items()) {
    if (item.checked) {
      return true;
    }
  }
  return false;
}

bool isNavigationKey(int32_t key) {
  return key >= vk::kEnd && key <= vk::kDown;
}

}  // namespace

void FrmSet::relabel(const ListBox& list) {
  const int32_t top = list.topIndex();
  for (int32_t i = 0; i < kRowLabels; ++i) {
    if (&list == &lstCangKu) {
      lbCang[i].setCaption(libraryRowLabel(top + i));
    } else if (&list == &lstErJi) {
      lbEr[i].setCaption(numberRowLabel(top + i));
    } else {
      lbN[i].setCaption(numberRowLabel(top + i));
    }
  }
}

void FrmSet::clearFlashingPanel() {
  for (TextBox* box :
       {&txtXiaLiao, &txtDaJie, static_cast<TextBox*>(&cboColor), &txtShenChang, &txtZheSuan}) {
    box->setText(u"");
  }
  lbW.setCaption(u"");
  lbSc.setCaption(u"");
  fraImg.setCaption(std::u16string(frm_set_text::kNoFlashingCaption));
  Pic.clear();
  lbBiLi.setForeColor(kWhiteColor);
  lbSc.setForeColor(kWhiteColor);
}

void FrmSet::showLibrary(int32_t index) {
  try {
    if (!lstCangKu.tag().empty()) {
      return;
    }
    lstErJi.clear();
    clearFlashingPanel();
    const int32_t libraryRow = lstCangKu.listIndex();
    if (libraryRow < 0) {
      return;
    }
    const std::u16string libraryText = lstCangKu.text();
    fraErJi.setCaption(libraryText);
    const bool libraryTicked = lstCangKu.selected(libraryRow);

    const FlashingLibrary& library = state_.libraries.at(static_cast<std::size_t>(libraryRow));
    if (library.Name == libraryText && library.Flashings.isAllocated()) {
      for (const Flashing& flashing : library.Flashings) {
        lstErJi.addItem(flashing.Name);
      }
      if (libraryTicked) {
        for (int32_t row = 0; row < lstErJi.listCount(); ++row) {
          if (containsRow(lstDang, currentUseEntry(libraryText, lstErJi.list(row)))) {
            const ListTagGuard guard(lstErJi);
            lstErJi.setSelected(row, true);
          }
        }
      }
    }
    if (lstErJi.listCount() > 0) {
      {
        const ListTagGuard guard(lstErJi);
        lstErJi.setListIndex(index < lstErJi.listCount() ? index : 0);
      }
      flashingListClick();
      if (index >= 0) {
        relabel(lstErJi);
      }
    }
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::libraryListClick() {
  try {
    const int32_t row = lstCangKu.listIndex();
    if (row < 0) {
      showLibrary(-1);
    } else {
      showLibrary(state_.libraries.at(static_cast<std::size_t>(row)).LastFlashing);
    }
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::libraryBoxToggled(int32_t row) {
  // Only the program ticks libraries; the user's toggle goes straight back.
  if (lstCangKu.tag() != u"1") {
    const ListTagGuard guard(lstCangKu);
    lstCangKu.setSelected(row, !lstCangKu.selected(row));
  }
}

void FrmSet::showFlashing(const Flashing& flashing) {
  txtXiaLiao.setText(decimal(flashing.MaxCutLength));
  txtDaJie.setText(decimal(flashing.Overlap));
  cboColor.setText(flashing.Color);
  txtShenChang.setText(decimal(flashing.EndExtension));
  txtZheSuan.setText(formatFixed(flashing.LengthFactor, 2));
  lbW.setCaption(decimal(flashing.DevelopedWidth));
  lbmm.setLeft(lbW.left() + lbW.width() + 2);
  lbSc.setCaption(u"1:" + decimal(flashing.ScaleCode) + (flashing.ScaleCode == 5 ? u"" : u"0"));
  preview::showFlashingPreview(flashing, previewArea(), ui());
}

void FrmSet::flashingListClick() {
  try {
    if (!lstErJi.tag().empty() || lstCangKu.listIndex() < 0) {
      return;
    }
    const int32_t flashingRow = lstErJi.listIndex();
    if (flashingRow < 0) {
      clearFlashingPanel();
      return;
    }
    programDirectory();
    const std::u16string libraryText = lstCangKu.text();
    const std::u16string flashingText = lstErJi.text();
    fraImg.setCaption(libraryText + u":" + flashingText +
                      std::u16string(frm_set_text::kFlashingCaptionEnd));
    FlashingLibrary& library = state_.libraries.at(static_cast<std::size_t>(lstCangKu.listIndex()));
    if (library.Name == libraryText) {
      const Flashing flashing = library.Flashings.at(static_cast<std::size_t>(flashingRow));
      if (flashing.Name == flashingText) {
        showFlashing(flashing);
      }
    }
    library.LastFlashing = toByteRounded(flashingRow);
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::flashingBoxToggled() {
  try {
    const int32_t libraryRow = lstCangKu.listIndex();
    const int32_t flashingRow = lstErJi.listIndex();
    if (!lstErJi.tag().empty() || libraryRow < 0 || flashingRow < 0) {
      return;
    }
    const std::u16string entry = currentUseEntry(lstCangKu.text(), lstErJi.text());
    if (lstErJi.selected(flashingRow)) {
      if (!containsRow(lstDang, entry)) {
        lstDang.addItem(entry);
        lstDang.setListIndex(lstDang.listCount() - 1);
        relabel(lstDang);
      }
      if (!lstCangKu.selected(libraryRow)) {
        const ListTagGuard guard(lstCangKu);
        lstCangKu.setSelected(libraryRow, true);
      }
    } else {
      for (int32_t row = 0; row < lstDang.listCount(); ++row) {
        if (lstDang.list(row) == entry) {
          lstDang.removeItem(row);
          break;
        }
      }
      relabel(lstDang);
      if (!anyTicked(lstErJi) && lstCangKu.selected(libraryRow)) {
        const ListTagGuard guard(lstCangKu);
        lstCangKu.setSelected(libraryRow, false);
      }
    }
    state_.modified = true;
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

void FrmSet::openContextMenu(ListBox& list) {
  menuSource_ = &list;
  prepareMenu();
  popupMenu(mnuYou);
}

void FrmSet::prepareMenu() {
  try {
    if (menuSource_ == nullptr) {
      return;
    }
    const MenuEnabling items = menuEnabling(menuSource_->listCount(), menuSource_->listIndex(),
                                            menuSource_->name() == u"lstDang");
    mnuSort.setEnabled(items.sort);
    mnuTop.setEnabled(items.top);
    mnuUp.setEnabled(items.up);
    mnuDown.setEnabled(items.down);
    mnuBottom.setEnabled(items.bottom);
    mnuDel.setEnabled(items.remove);
    mnuDingWei.setVisible(items.locateVisible);
    mnuDingWei.setEnabled(items.locateEnabled);
    mnuName.setVisible(items.renameVisible);
    mnuName.setEnabled(items.renameEnabled);
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

bool FrmSet::flashingSelected() const {
  return lstCangKu.listIndex() >= 0 && lstErJi.listIndex() >= 0;
}

void FrmSet::libraryOrFlashingWindowProc(ListBox& list, const ListMessage& message,
                                         const ListBox::OwnProcedure& pass) {
  switch (message.kind) {
    case ListMessageKind::MouseWheel:
      pass();
      if (list.listCount() > kRowLabels) {
        relabel(list);
      }
      return;
    case ListMessageKind::KeyDown:
      if (isNavigationKey(message.key) && flashingSelected() && list.listCount() > 1 &&
          !Save2(true)) {
        return;
      }
      pass();
      return;
    case ListMessageKind::LeftButtonDown:
    case ListMessageKind::LeftButtonUp: {
      // The row under the cursor, with rows as tall as the list's own.
      const int32_t row = message.y / list.rowHeight();
      if (list.topIndex() == 0 && row > list.listCount() - 1) {
        return;
      }
      if (message.kind == ListMessageKind::LeftButtonDown && flashingSelected() && !Save2(true)) {
        return;
      }
      pass();
      return;
    }
  }
}

void FrmSet::installWindowProcedures() {
  lstDang.windowProc = [this](const ListMessage& message, const ListBox::OwnProcedure& pass) {
    pass();
    if (message.kind == ListMessageKind::MouseWheel && lstDang.listCount() > kRowLabels) {
      relabel(lstDang);
    }
  };
  for (ListBox* list : {&lstCangKu, &lstErJi}) {
    list->windowProc = [this, list](const ListMessage& message, const ListBox::OwnProcedure& pass) {
      libraryOrFlashingWindowProc(*list, message, pass);
    };
  }
}

}  // namespace kvm
