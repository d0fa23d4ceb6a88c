#pragma once

#include <memory>

#include "ui/form.h"
#include "ui/label.h"
#include "ui/text_box.h"

namespace kvm {

class FrmSet;

// The add dialog of the settings dialog: the name of a new library or of a new flashing of
// the selected library, as the Tag of the settings dialog's cmdAdd says ("1" a library, "2" a
// flashing). OK checks the name and adds it; the dialog unloads when it closes.
class FrmAdd final : public Form {
 public:
  FrmAdd(std::shared_ptr<Ui> ui, FrmSet& owner);

  TextBox Text1;
  Label Lb;
  Button cmdOk;
  Button cmdCancel;

 protected:
  void onLoad() override;

 private:
  [[nodiscard]] bool addsLibrary() const;
  void ok();

  FrmSet& owner_;
};

}  // namespace kvm
