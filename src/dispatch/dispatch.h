#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/variant.h"

namespace kvm {

enum class InvokeKind : uint8_t { Method, PropertyGet, PropertyPut };

// A late-bound automation object: members are found by name (case-insensitively) at the
// moment of the call, as the host's object model and the component both are.
//
// Arguments are in declaration order. A callee may assign to an argument to pass it back
// by reference; callers that pass values only ignore what comes back. Failures are thrown
// as RuntimeError (438 for an unknown member).
class Dispatch {
 public:
  Dispatch() = default;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;
  Dispatch(Dispatch&&) = delete;
  Dispatch& operator=(Dispatch&&) = delete;
  virtual ~Dispatch() = default;

  virtual Variant invoke(std::u16string_view name, InvokeKind kind, std::vector<Variant>& args) = 0;

  // A name for reading only, as dumps show objects ("Document", "clsKavelmor").
  [[nodiscard]] virtual std::u16string typeName() const = 0;
};

// Typed helpers that keep calling code readable.
Variant call(const DispatchPtr& object, std::u16string_view name, std::vector<Variant> args = {});
Variant callByRef(const DispatchPtr& object, std::u16string_view name, std::vector<Variant>& args);
Variant get(const DispatchPtr& object, std::u16string_view name, std::vector<Variant> args = {});
void put(const DispatchPtr& object, std::u16string_view name, Variant value);
DispatchPtr getObject(const DispatchPtr& object, std::u16string_view name,
                      std::vector<Variant> args = {});

// A late-bound call on a value that does not hold an object fails as the platform does.
DispatchPtr requireObject(const Variant& value);

}  // namespace kvm
