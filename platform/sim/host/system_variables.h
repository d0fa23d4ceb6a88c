#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/variant.h"
#include "platform/sim/lisp/value.h"

namespace kvm::sim {

// A drawing's system variables by upper-case name. USERS1 to USERS5 exist from the start,
// empty; a value keeps the type the variable was created with.
class SystemVariables {
 public:
  SystemVariables();

  // Creates the variable or replaces its value and type (host configuration).
  void define(std::u16string_view name, Variant value);

  // Unknown names and values of the wrong type fail as the host's GetVariable / SetVariable do.
  [[nodiscard]] Variant get(std::u16string_view name) const;
  void set(std::u16string_view name, const Variant& value);

  // The same table as LISP's getvar and setvar see it: nullopt / false where the host refuses.
  [[nodiscard]] std::optional<LispValue> getLisp(std::u16string_view name) const;
  bool setLisp(std::u16string_view name, const LispValue& value);

  [[nodiscard]] nlohmann::json dump() const;

 private:
  std::map<std::u16string, Variant, std::less<>> values_;
};

}  // namespace kvm::sim
