#pragma once

#include <memory>

#include "ui/form.h"
#include "ui/list_box.h"
#include "ui/text_box.h"
#include "ui/timer.h"

namespace kvm::testing {

// A small dialog: a list with check boxes (12 rows of 15 pixels), a text box and Timer1.
class TestForm final : public Form {
 public:
  explicit TestForm(std::shared_ptr<Ui> ui)
      : Form(std::move(ui), u"frmTest"),
        lst(*this, u"lst", true),
        txt(*this, u"txt"),
        Timer1(*this, u"Timer1", 500) {
    setCaption(u"Test");
    lst.move(0, 0, 100, 180);
    txt.setText(u"design");
    finishDesign();
  }

  ListBox lst;
  TextBox txt;
  Timer Timer1;

  int loads = 0;
  int unloads = 0;
  bool refuseUnload = false;

 protected:
  void onLoad() override { ++loads; }
  void onQueryUnload(bool& cancel) override { cancel = refuseUnload; }
  void onUnload() override { ++unloads; }
};

}  // namespace kvm::testing
