#pragma once

#include <string>

#include "base/variant.h"
#include "ui/check_box.h"
#include "ui/form.h"
#include "ui/grid.h"
#include "ui/label.h"
#include "ui/option_group.h"
#include "ui/timer.h"

namespace kvm {

struct ProcessContext;

// The bill inspection dialog: the attributes each flashing of a bill was output with, one grid
// row per flashing, and the choices the host needs to show a picked flashing's lines. A pick or
// an export hides it; it stays loaded so that the next call can show it again as it was.
class FrmPeiCeng final : public Form {
 public:
  explicit FrmPeiCeng(ProcessContext& process);

  // Fills the labels from the bill header `Gong` and the grid from `Arr` (eight values per
  // flashing), numbering the rows from `stid` + 1.
  void fill(const Variant& Arr, const Variant& Gong, int16_t stid);
  // The form-show pattern; returns when the dialog is hidden or unloaded.
  void show();

  // The index of the first set display option; 3 when none is set.
  [[nodiscard]] int32_t displayMode() const;
  // What a pick of the current row and an export hand to the host (without their prefixes).
  [[nodiscard]] std::u16string pickRequest() const;
  [[nodiscard]] std::u16string exportRecord() const;

  Label lbGong;
  Label lbBanHou;
  Label lbDate;
  Grid M1;
  Frame fraShow;
  OptionGroup optShow;
  CheckBox chkWriteName;
  Button cmdPick;
  Button cmdDaoChu;
  Button cmdHelp;
  Button cmdClose;
  Timer Timer1;

 protected:
  void onLoad() override;
  void onUnload() override;

 private:
  void pick();
  void exportTable();
  void help();
  void timerTick();
  void fitGrid(int32_t flashings);

  ProcessContext& process_;
};

// The process's single instance, made on first use.
FrmPeiCeng& frmPeiCeng(ProcessContext& process);

}  // namespace kvm
