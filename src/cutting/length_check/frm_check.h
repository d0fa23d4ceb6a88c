#pragma once

#include <string_view>

#include "ui/form.h"
#include "ui/label.h"

namespace kvm {

struct ProcessContext;

// The length check dialog: states a drawn length that disagrees with the developed length and
// lets the user go back to the drawing ("0") or ignore it ("1"). Its window has no Close
// command; only the two buttons end it.
class FrmCheck final : public Form {
 public:
  explicit FrmCheck(ProcessContext& process);

  // Shows the figures of one check in the two labels.
  void showFigures(int32_t drawnLength, int32_t developedLength, std::u16string_view scale);

  Label Lb1;
  Label Lb2;
  Button cmdHuLue;
  Button cdmFanHui;

 protected:
  void onLoad() override;

 private:
  void answer(std::u16string_view choice);

  ProcessContext& process_;
};

// The process's single instance, made on first use.
FrmCheck& frmCheck(ProcessContext& process);

}  // namespace kvm
