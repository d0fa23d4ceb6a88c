#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "dispatch/dispatch.h"
#include "ui/ui.h"

namespace kvm {

class SettingsStore;
struct SettingsState;
class FrmCheck;
class FrmPeiCeng;
class FrmWanShan;
class FrmHelp;

// What the component shares across every object and dialog of one process: the host objects
// of the last start-up, the program directory and the result string of the last dialog. On
// Windows there is one per loaded DLL; the simulated host makes one per session so that
// sessions stay apart.
struct ProcessContext {
  std::shared_ptr<Ui> ui;
  std::shared_ptr<SettingsStore> settings;

  // Where the program directory goes: the value of `systemdrive` on Windows, the session's
  // home folder elsewhere. The component appends "\QORNCAD" (or "/QORNCAD") itself.
  std::filesystem::path programDirectoryRoot;

  DispatchPtr hostApplication;
  DispatchPtr hostDocument;
  DispatchPtr modelSpace;
  std::filesystem::path programDirectory;
  std::u16string resultString;

  // The settings dialog's module: the library table, the modified flag and the dialogs. Made
  // by the first settings call; lives as long as the process.
  std::shared_ptr<SettingsState> settingsDialog;

  // The length check, bill tool and alias dialogs, each made by its first use.
  std::shared_ptr<FrmCheck> frmCheck;
  std::shared_ptr<FrmPeiCeng> frmPeiCeng;
  std::shared_ptr<FrmWanShan> frmWanShan;
  std::shared_ptr<FrmHelp> frmHelp;
};

}  // namespace kvm
