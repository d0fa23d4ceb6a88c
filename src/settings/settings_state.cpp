#include "settings/settings_state.h"

#include "session/process.h"
#include "settings/frm_add.h"
#include "settings/frm_re_name.h"
#include "settings/frm_set.h"

namespace kvm {

SettingsState::SettingsState() = default;
SettingsState::~SettingsState() = default;

SettingsState& settingsState(ProcessContext& process) {
  if (!process.settingsDialog) {
    process.settingsDialog = std::make_shared<SettingsState>();
  }
  return *process.settingsDialog;
}

FrmSet& frmSet(ProcessContext& process, std::u16string_view version) {
  SettingsState& state = settingsState(process);
  if (!state.frmSet) {
    state.frmSet = std::make_unique<FrmSet>(process, state, std::u16string(version));
  }
  return *state.frmSet;
}

}  // namespace kvm
