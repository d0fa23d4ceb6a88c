#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/variant.h"
#include "preview/preview_area.h"
#include "ui/check_box.h"
#include "ui/control_array.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/menu_item.h"
#include "ui/picture_box.h"
#include "ui/text_box.h"
#include "ui/timer.h"

namespace kvm {

struct Flashing;
struct ProcessContext;
struct SettingsState;

// The settings dialog: the flashing database in three lists (libraries, the flashings of the
// selected library, the current-use list), the attribute panel and preview of the selected
// flashing, and the project settings. One instance per process (see settingsState()).
class FrmSet final : public Form {
 public:
  FrmSet(ProcessContext& process, SettingsState& state, std::u16string version);
  FrmSet(const FrmSet&) = delete;
  FrmSet& operator=(const FrmSet&) = delete;
  FrmSet(FrmSet&&) = delete;
  FrmSet& operator=(FrmSet&&) = delete;
  ~FrmSet() override;

  // The settings call: a capture return first stores the profile, then the dialog is shown by
  // the form-show pattern. Returns when it is hidden or unloaded.
  void show(std::u16string_view request, const std::vector<Variant>& profile);

  // Validates the attribute panel and stores it into the selected flashing (panelOnly, before
  // the selection moves); a full save also validates the project settings and then stores
  // them with the current-use list and writes the database file. False when a value was
  // refused or an error was shown.
  bool Save2(bool panelOnly);

  // Fills the flashing list for the selected library and selects the flashing at `index`
  // (-1: none).
  void showLibrary(int32_t index);
  void libraryListClick();
  void flashingListClick();
  void prepareMenu();
  // Sets the 12 row labels of a list from its top index.
  void relabel(const ListBox& list);

  [[nodiscard]] ListBox* menuSourceList() const noexcept { return menuSource_; }

  // The add dialog's last step: the new library at the end of the table and the list, shown
  // selected; the new flashing at the end of the selected library, shown selected. Both set
  // the modified flag.
  void appendLibrary(const std::u16string& name);
  void appendFlashing(const std::u16string& name);

  // Renames the selected row of the menu source list and its record, and the current-use
  // entries that name it. False when a message refused the name; true when the row changed,
  // even if no record matched it.
  bool reName(const std::u16string& name);

  // Library, flashing and current-use lists.
  ListBox lstCangKu;
  ListBox lstErJi;
  ListBox lstDang;
  Frame Frame4;
  Frame fraErJi;
  Frame fraDang;
  Frame fraImg;
  ControlArray<Label> lbCang;
  ControlArray<Label> lbEr;
  ControlArray<Label> lbN;

  // Attribute panel.
  TextBox txtXiaLiao;
  TextBox txtDaJie;
  ComboBox cboColor;
  TextBox txtShenChang;
  TextBox txtZheSuan;

  // Preview area and its labels.
  PictureBox Pic;
  Label lbW;
  Label lbmm;
  Label lbBiLi;
  Label lbSc;
  Label lbXing;

  // Project settings.
  TextBox txtProject;
  TextBox txtHou;
  TextBox txtDeng;
  TextBox txtZiGao;

  Label lbCheng;
  Timer Timer1;

  Button cmdOk;
  Button cmdCancel;
  Button cmdMoRen;
  Button cmdQingDan;
  Button cmdAdd;
  Button cmdAdd2;
  Button cmdDelCang;
  Button cmdDelEr;
  Button cmdDelDang;
  Button cmdDingWei;
  Button cmdJieTu;
  Button cmdHelp;

  // The context menu of the lists.
  MenuItem mnuYou;
  MenuItem mnuTop;
  MenuItem mnuUp;
  MenuItem mnuDown;
  MenuItem mnuBottom;
  MenuItem mnuSort;
  MenuItem mnuName;
  MenuItem mnuDingWei;
  MenuItem mnuSeparator;
  MenuItem mnuDel;

 protected:
  void onLoad() override;
  void onQueryUnload(bool& cancel) override;
  void onUnload() override;

 private:
  class Preview;

  // Load sequence.
  void prepareListRows();
  void restoreProjectAndCurrentUse();
  void loadDatabase();
  void fillLibraryList();
  void restoreSelections();
  void centre();
  void installWindowProcedures();

  // Lists.
  void clearFlashingPanel();
  void showFlashing(const Flashing& flashing);
  void libraryBoxToggled(int32_t row);
  void flashingBoxToggled();
  void openContextMenu(ListBox& list);
  void libraryOrFlashingWindowProc(ListBox& list, const ListMessage& message,
                                   const ListBox::OwnProcedure& pass);
  [[nodiscard]] bool flashingSelected() const;

  // Save.
  bool validateProject(std::u16string& keptThickness);
  bool validatePanel(Flashing& panel);
  void storePanel(const Flashing& panel);
  void saveEverything(const std::u16string& keptThickness);

  // Editing commands.
  void addLibraryCommand();
  void addFlashingCommand();
  void renameCommand();
  void deleteLibrary();
  void deleteFlashing();
  void deleteCurrentUse();
  void deleteFromMenu();
  void locate();
  void help();
  void renameLibraryEntries(const std::u16string& oldName, const std::u16string& newName);
  void replaceCurrentUseEntry(const std::u16string& oldEntry, const std::u16string& newEntry);

  // Ordering commands.
  enum class Move : uint8_t { Top, Up, Down, Bottom };
  void moveCommand(Move move);
  void sortCommand();
  void moveRecords(ListBox& list, std::size_t from, std::size_t to);
  void sortRecords(ListBox& list, const std::vector<std::size_t>& order);

  // The bill.
  void billCommand();
  void promptOnCommandLine(const std::u16string& text);

  // Capture, restore defaults, close paths, timer.
  void captureReturn(std::u16string_view request, const std::vector<Variant>& profile);
  void captureCommand();
  void restoreDefaults();
  void saveCommand();
  void closeCommand();
  void timerTick();

  void showError(const std::u16string& description);
  // The program directory, "C:\QORNCAD" when it was never found.
  std::filesystem::path programDirectory();
  preview::PreviewArea& previewArea();

  ProcessContext& process_;
  SettingsState& state_;
  std::u16string version_;
  std::filesystem::path databasePath_;
  ListBox* menuSource_ = nullptr;
  std::unique_ptr<Preview> preview_;
};

// The dialog of the process, made on first use.
FrmSet& frmSet(ProcessContext& process, std::u16string_view version);

}  // namespace kvm
