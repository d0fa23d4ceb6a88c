#pragma once

#include <memory>

#include "ui/form.h"
#include "ui/label.h"
#include "ui/text_box.h"

namespace kvm {

class FrmSet;

// The rename dialog of the settings dialog: shows the current name of the selected library or
// flashing and takes the new one, which the settings dialog's reName checks and applies. The
// dialog unloads when it closes.
class FrmReName final : public Form {
 public:
  FrmReName(std::shared_ptr<Ui> ui, FrmSet& owner);

  TextBox txtName0;  // the current name, for reading only
  TextBox txtName;
  Button cmdOk;
  Button cmdCancel;

 protected:
  void onLoad() override;

 private:
  void ok();

  FrmSet& owner_;
};

}  // namespace kvm
