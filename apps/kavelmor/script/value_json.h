#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "base/variant.h"

namespace kvm::script {

// Automation values as a host script prints them: {"I2": 5}, {"R8": 2.3}, "text", null,
// true, {"array": [...], "type": "R8", "lbound": 0}, {"object": "Document"}.
nlohmann::json valueToJson(const Variant& value);

// Resolves the names of the host's own objects ("$app") in arguments.
using ObjectResolver = std::function<DispatchPtr(const std::string& name)>;

// Reads an argument: the tagged forms above, or plain JSON (an integer literal is a Long, a
// number with a fraction or exponent a Double, a JSON array an array of Variants). Throws
// std::invalid_argument with a readable reason for anything else.
Variant valueFromJson(const nlohmann::json& json, const ObjectResolver& resolveObject);

// A real number as the shortest decimal that reads back the same; non-finite ones as text.
nlohmann::json realToJson(double value);
nlohmann::json realToJson(float value);

}  // namespace kvm::script
