#include "platform/win32/class_factory.h"

#include "platform/win32/automation_error.h"
#include "platform/win32/component_factory.h"
#include "platform/win32/component_object.h"

namespace kvm::win32 {

ComPtr<ClassFactory> ClassFactory::make() {
  auto owner = std::make_unique<ClassFactory>();
  return ComPtr<ClassFactory>::attach(owner.release());  // its own count owns it from here
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    return E_NOINTERFACE;
  }
  *object = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

ULONG ClassFactory::AddRef() {
  return ++references_;
}

ULONG ClassFactory::Release() {
  const ULONG left = --references_;
  if (left == 0) {
    delete this;  // NOLINT(cppcoreguidelines-owning-memory): COM objects own themselves
  }
  return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (outer != nullptr) {
    return CLASS_E_NOAGGREGATION;
  }
  try {
    auto& module = ServerModule::instance();
    auto created = AutomationObject::make<ComponentObject>(createServerComponent(module.process()));
    return created->QueryInterface(iid, object);
  } catch (...) {
    const RuntimeError error = currentError();
    return error.number() == err::kOutOfMemory ? E_OUTOFMEMORY : E_FAIL;
  }
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  ServerModule::instance().lockServer(lock != FALSE);
  return S_OK;
}

}  // namespace kvm::win32
