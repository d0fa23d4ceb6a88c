#pragma once

#include <array>
#include <cstddef>

#include "platform/win32/com_ptr.h"
#include "platform/win32/windows_headers.h"

namespace kvm::win32::testing {

// The interfaces of a CAD host's object model, in the shape such hosts declare them: dual
// interfaces from a type library, properties as property functions, a collection's Item a
// method with the default dispatch id, LISP functions called through a vararg funcall.
enum class HostInterface : std::size_t {
  Application,
  Documents,
  Document,
  ModelSpace,
  Text,
  VlApplication,
  VlDocument,
  VlFunctions,
  VlFunction,
};
inline constexpr std::size_t kHostInterfaceCount = 9;

// The type library, built in memory with the system's type library writer. The member order of
// each interface is the vtable order of the objects in host_objects.h.
class HostTypeLibrary {
 public:
  HostTypeLibrary();

  [[nodiscard]] ITypeInfo* info(HostInterface which) const {
    return infos_.at(static_cast<std::size_t>(which)).get();
  }
  [[nodiscard]] const IID& iid(HostInterface which) const;

 private:
  ComPtr<ICreateTypeLib2> library_;
  std::array<ComPtr<ITypeInfo>, kHostInterfaceCount> infos_;
};

}  // namespace kvm::win32::testing
