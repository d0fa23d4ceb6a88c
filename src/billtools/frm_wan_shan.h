#pragma once

#include <string>

#include "ui/check_box.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/option_group.h"
#include "ui/timer.h"

namespace kvm {

struct ProcessContext;

// The bill completion options dialog: how the host is to count the lines of a bill and label
// them. OK hands back four digits (mode, row numbers, numbers for names, rounding up) and
// keeps them for next time; cancelling or closing gives "c".
class FrmWanShan final : public Form {
 public:
  explicit FrmWanShan(ProcessContext& process);

  // The form-show pattern; returns when the dialog has unloaded.
  void show();

  // The completion options as the dialog holds them: mode (3 when no button is set) and the
  // three boxes, one digit each.
  [[nodiscard]] std::u16string completionOptions() const;

  Frame fraMode;
  OptionGroup optMode;
  CheckBox chkNum;
  CheckBox chkDaiTi;
  CheckBox chkZheng;
  Button cmdOk;
  Button cmdCancel;
  Button cmdHelp;
  Timer Timer1;

 protected:
  void onLoad() override;
  void onQueryUnload(bool& cancel) override;

 private:
  [[nodiscard]] int32_t mode() const;
  void ok();
  void help();
  void timerTick();

  ProcessContext& process_;
  // Set while OK unloads the dialog, so that the unload keeps OK's result.
  bool accepted_ = false;
};

// The process's single instance, made on first use.
FrmWanShan& frmWanShan(ProcessContext& process);

}  // namespace kvm
