// The capture: the button that asks the host for a profile, and the settings call that
// brings the captured profile back.
#include "base/runtime_error.h"
#include "base/text.h"
#include "model/profile_capture.h"
#include "preview/profile_preview.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/frm_set_texts.h"
#include "settings/settings_state.h"

namespace kvm {

namespace {

// The request's blank-separated token, as the platform's split gives it (error 9 past the
// last one).
const std::u16string& token(const std::vector<std::u16string>& tokens, std::size_t index) {
  if (index >= tokens.size()) {
    raise(err::kSubscriptOutOfRange);
  }
  return tokens[index];
}

// Library and flashing rows travel as 8-bit indexes: no selection (-1) is an overflow.
std::size_t byteIndex(int32_t row) {
  return toByte(Variant(row));
}

}  // namespace

void FrmSet::captureReturn(std::u16string_view request, const std::vector<Variant>& profile) {
  load();
  const std::vector<std::u16string> tokens = split(request, u" ");
  const std::u16string& width = token(tokens, 1);
  lbW.setCaption(width);
  lbmm.setLeft(lbW.left() + lbW.width() + 2);
  const std::u16string& scale = token(tokens, 2);
  lbSc.setCaption(scale);

  const std::size_t libraryIndex = byteIndex(lstCangKu.listIndex());
  const std::size_t flashingIndex = byteIndex(lstErJi.listIndex());
  FlashingLibrary& library = state_.libraries.at(libraryIndex);
  if (lstCangKu.text() == library.Name) {
    Flashing& flashing = library.Flashings.at(flashingIndex);
    // Everything is read before anything is stored: a capture that fails stores nothing.
    Flashing captured = withCapturedProfile(flashing, profile.at(0), profile.at(1), profile.at(2),
                                            profile.at(3), profile.at(4));
    captured.DevelopedWidth = toInteger(Variant(width));
    captured.ScaleCode = toByte(Variant(std::u16string(
        std::u16string_view(scale).substr(std::min<std::size_t>(2, scale.size()), 1))));
    flashing = std::move(captured);
    preview::showFlashingPreview(flashing, previewArea(), ui());
  }
  state_.modified = true;
}

void FrmSet::captureCommand() {
  try {
    const std::u16string libraryText = lstCangKu.text();
    if (libraryText.empty()) {
      showMessage(ui(), frm_set_text::kCaptureNoLibrary);
      lstCangKu.setFocus();
      return;
    }
    const std::u16string flashingText = lstErJi.text();
    if (flashingText.empty()) {
      showMessage(ui(), std::u16string(frm_set_text::kCaptureNoFlashingStart) + libraryText +
                            std::u16string(frm_set_text::kCaptureNoFlashingEnd));
      lstErJi.setFocus();
      return;
    }
    process_.resultString = u"dao" + libraryText + u"|" + flashingText;
    hide();
  } catch (const RuntimeError& error) {
    showError(error.description());
  }
}

}  // namespace kvm
