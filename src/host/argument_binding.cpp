#include "host/argument_binding.h"

#include "base/runtime_error.h"

namespace kvm {

Variant toTypedArray(const Variant& value, VarType elementType) {
  if (!value.isArray()) {
    raise(err::kTypeMismatch);
  }
  const auto& source = value.arrayValue();
  ArrayValue typed{elementType, source.allocated, source.lowerBound, {}, source.dimensions};
  typed.elements.reserve(source.elements.size());
  for (const auto& item : source.elements) {
    typed.elements.push_back(convertArgument(item, elementType));
  }
  return typed;
}

std::vector<Variant> bindArguments(const MemberInfo& member, const std::vector<Variant>& args) {
  const auto& parameters = member.parameters;
  if (args.size() < parameters.size()) {
    raise(err::kArgumentNotOptional);
  }
  if (args.size() > parameters.size()) {
    raise(err::kWrongArgumentCount);
  }
  std::vector<Variant> bound;
  bound.reserve(args.size());
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const auto& parameter = parameters[i];
    if (parameter.isArray) {
      bound.push_back(toTypedArray(args[i], parameter.type));
    } else {
      bound.push_back(convertArgument(args[i], parameter.type));
    }
  }
  return bound;
}

}  // namespace kvm
