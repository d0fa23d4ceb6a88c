#pragma once

#include <memory>

#include "model/flashing.h"

namespace kvm {

class FrmAdd;
class FrmReName;
class FrmSet;
struct ProcessContext;

// The settings dialog's module state, one per process: the library table, which every load
// replaces; the modified flag, set by every change of the table or the project settings and
// cleared only by a successful save; and the dialog itself, a single instance, with the add and
// rename dialogs it opens.
struct SettingsState {
  SettingsState();
  SettingsState(const SettingsState&) = delete;
  SettingsState& operator=(const SettingsState&) = delete;
  SettingsState(SettingsState&&) = delete;
  SettingsState& operator=(SettingsState&&) = delete;
  ~SettingsState();

  LibraryTable libraries;
  bool modified = false;
  std::unique_ptr<FrmSet> frmSet;
  // Made by their first opening; they refer to frmSet and go before it.
  std::unique_ptr<FrmAdd> frmAdd;
  std::unique_ptr<FrmReName> frmReName;
};

// The module state of the process, made on first use.
SettingsState& settingsState(ProcessContext& process);

}  // namespace kvm
