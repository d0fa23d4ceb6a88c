#include "settings/frm_re_name.h"

#include "base/runtime_error.h"
#include "base/text.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

constexpr int32_t kFormWidth = 300;
constexpr int32_t kFormHeight = 140;

}  // namespace

FrmReName::FrmReName(std::shared_ptr<Ui> ui, FrmSet& owner)
    : Form(std::move(ui), u"frmReName"),
      txtName0(*this, u"txtName0"),
      txtName(*this, u"txtName"),
      cmdOk(*this, u"cmdOk"),
      cmdCancel(*this, u"cmdCancel"),
      owner_(owner) {
  setCaption(std::u16string(text::kReNameLibraryCaption));
  setSize(kFormWidth, kFormHeight);
  txtName0.move(12, 12, 270, 20);
  txtName.move(12, 42, 270, 20);
  cmdOk.move(100, 76, 80, 24);
  cmdOk.setCaption(std::u16string(text::kCmdAddOk));
  cmdCancel.move(200, 76, 80, 24);
  cmdCancel.setCaption(std::u16string(text::kCmdAddCancel));

  cmdOk.onClick = [this] { ok(); };
  cmdCancel.onClick = [this] { unload(); };
  finishDesign();
}

void FrmReName::onLoad() {
  txtName.setFocus();
}

void FrmReName::ok() {
  try {
    if (owner_.reName(trimSpaces(txtName.text()))) {
      unload();
      return;
    }
    txtName.setFocus();
    txtName.selectAll();
  } catch (const RuntimeError& error) {
    showErrorDescription(ui(), error.description());
  }
}

}  // namespace kvm
