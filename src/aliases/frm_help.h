#pragma once

#include "dispatch/dispatch.h"
#include "ui/check_box.h"
#include "ui/control_array.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/text_box.h"

namespace kvm {

struct ProcessContext;

// The command alias editor: the four host commands with their aliases, which it checks, keeps
// in the registry and defines at once in the active document; and the switch of the system's
// toolbar. Each alias box's Tag holds the alias as last loaded or saved.
class FrmHelp final : public Form {
 public:
  explicit FrmHelp(ProcessContext& process);

  // Checks, stores and defines the aliases. False when one was refused, the registry could not
  // be written, a definition failed or an error was shown.
  bool save();

  ControlArray<Label> lbIntro;
  ControlArray<Label> lbHead;
  ControlArray<Label> lbNo;
  ControlArray<TextBox> sdfg;
  ControlArray<TextBox> txtNm;
  ControlArray<Label> lbFun;
  ControlArray<Label> Lb;
  Button cmdDefault;
  Button cmdSave;
  CheckBox chkOpen;
  Button cmdClose;

 protected:
  void onLoad() override;
  void onQueryUnload(bool& cancel) override;
  void onUnload() override;

 private:
  void loadToolbarState();
  void loadAliases();
  bool checkAliases();
  bool defineAliases();
  void restoreDefaults();
  void toggleToolbar();
  [[nodiscard]] bool modified() const;

  ProcessContext& process_;
  // The active document's LISP functions, from a save until the dialog unloads.
  DispatchPtr functions_;
};

// The process's single instance, made on first use.
FrmHelp& frmHelp(ProcessContext& process);

}  // namespace kvm
