#include "platform/win32/server_module.h"

#include <vector>

#include "platform/win32/bstr.h"
#include "platform/win32/registry_settings_store.h"
#include "platform/win32/type_library.h"
#include "platform/win32/win32_desktop.h"

namespace kvm::win32 {

namespace {

std::filesystem::path systemDrive() {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  const DWORD length =
      GetEnvironmentVariableW(L"systemdrive", buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) {
    return {};  // the program directory then falls back to "C:"
  }
  return std::filesystem::path(buffer.data());
}

}  // namespace

ServerModule& ServerModule::instance() {
  static ServerModule module;
  return module;
}

std::filesystem::path ServerModule::modulePath() const {
  std::vector<wchar_t> buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(module_, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return {};
    }
    if (length < buffer.size()) {
      return std::filesystem::path(std::wstring(buffer.data(), length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::filesystem::path ServerModule::typeLibraryPath() const {
  return modulePath().replace_extension(L".tlb");
}

bool ServerModule::canUnload() {
  if (objects_ != 0 || locks_ != 0) {
    return false;
  }
  process_.reset();
  return true;
}

std::shared_ptr<Ui> ServerModule::desktop() {
  if (!installedDesktop_) {
    installedDesktop_ = makeRealDesktop_ ? makeRealDesktop_() : makeWin32Desktop();
  }
  return installedDesktop_;
}

std::shared_ptr<ProcessContext> ServerModule::process() {
  if (!process_) {
    auto context = std::make_shared<ProcessContext>();
    context->ui = desktop();
    context->settings = std::make_shared<RegistrySettingsStore>();
    context->programDirectoryRoot = systemDrive();
    process_ = std::move(context);
  }
  return process_;
}

void ServerModule::installDesktop(std::shared_ptr<Ui> desktop) {
  installedDesktop_ = std::move(desktop);
  if (process_) {
    process_->ui = this->desktop();
  }
}

ComPtr<ITypeInfo> ServerModule::typeInfo() {
  if (!typeInfo_) {
    typeInfo_ = buildInterfaceTypeInfo();
  }
  return typeInfo_;
}

void ServerModule::abandon() noexcept {
  // Deliberately never freed: the process is ending and these may point into modules that
  // are already gone.
  static_cast<void>(
      std::make_unique<std::shared_ptr<ProcessContext>>(std::move(process_)).release());
  static_cast<void>(std::make_unique<std::shared_ptr<Ui>>(std::move(installedDesktop_)).release());
  static_cast<void>(
      std::make_unique<std::function<std::shared_ptr<Ui>()>>(std::move(makeRealDesktop_))
          .release());
  static_cast<void>(typeInfo_.detach());
}

}  // namespace kvm::win32
