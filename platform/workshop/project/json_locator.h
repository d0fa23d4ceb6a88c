#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvm::workshop {

// One step down into a JSON document: an object's key or an array's index.
using JsonStep = std::variant<std::string, std::size_t>;
using JsonPath = std::vector<JsonStep>;

// "currentUse[2].lines[0].start" for a path, as error lines name a field.
std::string fieldName(const JsonPath& path);

struct TextPosition {
  std::size_t line = 1;    // from 1
  std::size_t column = 1;  // from 1, in characters
};

// Where the value at the path begins in a well-formed JSON text; where the path stops
// matching, the position of the deepest value that does. For pointing a person at a field.
TextPosition locate(std::string_view json, const JsonPath& path);

// The line and column of a byte offset in a UTF-8 text.
TextPosition positionOf(std::string_view text, std::size_t offset);

// Where each element of the array at `array` begins, and where the value under `key` in it
// does (the element's own place where it has none), in one pass over a well-formed text:
// looking up every row of a long list one by one would read the text once per row.
struct ElementPlaces {
  std::vector<TextPosition> elements;
  std::vector<TextPosition> keyed;
};
ElementPlaces locateElements(std::string_view json, const JsonPath& array, const std::string& key);

}  // namespace kvm::workshop
