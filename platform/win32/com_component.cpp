#include "platform/win32/com_component.h"

#include "base/runtime_error.h"
#include "platform/win32/com_client.h"

namespace kvm::win32 {

ComponentFactory comComponentFactory(std::filesystem::path serverDll,
                                     const std::optional<DialogReports>& played) {
  auto server = std::make_shared<InProcessServer>(std::move(serverDll));
  auto registered = std::make_shared<bool>(false);
  auto installed = std::make_shared<bool>(false);
  return [server, registered, installed,
          played](const std::shared_ptr<ProcessContext>& process) -> DispatchPtr {
    if (!*registered) {
      server->registerServer();
      *registered = true;
    }
    if (process) {
      const std::wstring root = process->programDirectoryRoot.wstring();
      if (!SetEnvironmentVariableW(L"systemdrive", root.empty() ? nullptr : root.c_str())) {
        raise(err::kInvalidCall);
      }
      // One desktop for the session, as the server has one for its process: the dialogs are
      // the process's, and one an earlier object left hidden shows on it again.
      if (!*installed) {
        if (played) {
          server->installPlayedDesktop(process->ui, *played);
        } else {
          server->installDesktop(process->ui);
        }
        *installed = true;
      }
    }
    return createObject(u"Kavelmor.clsKavelmor");
  };
}

}  // namespace kvm::win32
