#pragma once

#include "platform/win32/windows_headers.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/win32/com_ptr.h"
#include "session/process.h"
#include "ui/ui.h"

namespace kvm::win32 {

// What one loaded copy of the DLL shares: its live objects and locks (DllCanUnloadNow has
// nothing else to ask), the process context of the component, the desktop it talks to, and
// the type information. This is the one piece of module-wide state a COM server cannot avoid.
class ServerModule {
 public:
  static ServerModule& instance();

  ServerModule() = default;
  ServerModule(const ServerModule&) = delete;
  ServerModule& operator=(const ServerModule&) = delete;
  ServerModule(ServerModule&&) = delete;
  ServerModule& operator=(ServerModule&&) = delete;
  ~ServerModule() = default;

  void attach(HMODULE module) { module_ = module; }
  [[nodiscard]] std::filesystem::path modulePath() const;
  [[nodiscard]] std::filesystem::path typeLibraryPath() const;  // beside the DLL

  void objectCreated() noexcept { ++objects_; }
  void objectReleased() noexcept { --objects_; }
  void lockServer(bool lock) noexcept { lock ? ++locks_ : --locks_; }
  [[nodiscard]] long liveObjects() const noexcept { return objects_; }

  // True when no object and no lock is left. Then the host references of the process
  // context go too, so that nothing of the host is released while the DLL unloads.
  bool canUnload();

  // The component's process context, made on first use.
  std::shared_ptr<ProcessContext> process();

  // Replaces the desktop (message boxes, keyboard, windows, clock); null restores the real one.
  void installDesktop(std::shared_ptr<Ui> desktop);
  // How the real desktop is made (by default without dialogs): a DLL with dialog windows says
  // so when it loads.
  void setRealDesktop(std::function<std::shared_ptr<Ui>()> make) {
    makeRealDesktop_ = std::move(make);
  }
  [[nodiscard]] std::shared_ptr<Ui> installedDesktop() const { return installedDesktop_; }

  ComPtr<ITypeInfo> typeInfo();

  // At process exit foreign objects may already be gone: keep them from being touched.
  void abandon() noexcept;

 private:
  std::shared_ptr<Ui> desktop();

  HMODULE module_ = nullptr;
  std::atomic<long> objects_{0};
  std::atomic<long> locks_{0};
  std::shared_ptr<ProcessContext> process_;
  std::shared_ptr<Ui> installedDesktop_;
  std::function<std::shared_ptr<Ui>()> makeRealDesktop_;
  ComPtr<ITypeInfo> typeInfo_;
};

// Counts one live object of the module for as long as it exists.
class ModuleObjectCount {
 public:
  ModuleObjectCount() { ServerModule::instance().objectCreated(); }
  ModuleObjectCount(const ModuleObjectCount&) = delete;
  ModuleObjectCount& operator=(const ModuleObjectCount&) = delete;
  ModuleObjectCount(ModuleObjectCount&&) = delete;
  ModuleObjectCount& operator=(ModuleObjectCount&&) = delete;
  ~ModuleObjectCount() { ServerModule::instance().objectReleased(); }
};

}  // namespace kvm::win32
