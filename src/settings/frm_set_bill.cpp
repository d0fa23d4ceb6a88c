// The bill button: checks the project settings, writes the bill record of the current-use
// list and hands it to the host.
#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "bill/bill_record.h"
#include "dispatch/dispatch.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/settings_state.h"

namespace kvm {

namespace text = frm_set_text;

namespace {

constexpr int32_t kRowLabels = 12;

}  // namespace

void FrmSet::promptOnCommandLine(const std::u16string& line) {
  const DispatchPtr document = getObject(process_.hostApplication, u"ActiveDocument");
  call(getObject(document, u"Utility"), u"Prompt", {Variant(line)});
}

void FrmSet::billCommand() {
  try {
    Timer1.setEnabled(false);
    std::u16string thickness;
    if (!validateProject(thickness)) {
      return;
    }

    const double thicknessValue = parseNumber(thickness).value_or(0);
    // The entries go straight after the header: a full bill is a few megabytes.
    std::u16string record = u"list";
    record += billHeader(trimSpaces(txtProject.text()), thicknessValue, trimSpaces(txtDeng.text()),
                         trimSpaces(txtZiGao.text()), ui().today());
    bool anyEntry = false;
    for (int32_t item = 0; item < lstDang.listCount(); ++item) {
      // An item without a colon has no flashing name: error 9, and no bill.
      const std::vector<std::u16string> parts = split(lstDang.list(item), u":");
      if (parts.size() < 2) {
        raise(err::kSubscriptOutOfRange);
      }
      const std::u16string& library = parts[0];
      const std::u16string& flashingName = parts[1];
      const Flashing* flashing = findBillFlashing(state_.libraries, library, flashingName);
      if (flashing == nullptr) {
        std::u16string skipped = u"\n";
        skipped.append(text::kBillSkippedStart).append(library).append(u":");
        skipped.append(flashingName).append(text::kBillSkippedEnd);
        promptOnCommandLine(skipped);
        continue;
      }
      if (!flashing->hasProfile()) {
        lstDang.setListIndex(item);
        if (lstDang.listCount() > kRowLabels) {
          relabel(lstDang);
        }
        std::u16string noProfile = decimal(item + 1);
        noProfile.append(text::kBillNumberSeparator).append(library);
        noProfile.append(text::kBillNameSeparator)
            .append(flashingName)
            .append(text::kBillNoProfile);
        showMessage(ui(), noProfile);
        return;
      }
      appendBillEntry(record, *flashing);
      anyEntry = true;
    }
    if (!anyEntry) {
      showMessage(ui(), text::kBillNothingFound);
      return;
    }

    process_.resultString = std::move(record);
    hide();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

}  // namespace kvm
