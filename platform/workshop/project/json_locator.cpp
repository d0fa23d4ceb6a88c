#include "platform/workshop/project/json_locator.h"

#include <nlohmann/json.hpp>

namespace kvm::workshop {

namespace {

// Walks a JSON text that is known to be well formed, skipping what the path does not enter.
class Scanner {
 public:
  explicit Scanner(std::string_view text, std::size_t at = 0) : text_(text), at_(at) {}

  [[nodiscard]] std::size_t offset() const { return at_; }

  void skipBlanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }

  [[nodiscard]] char current() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void advance() {
    if (at_ < text_.size()) {
      ++at_;
    }
  }

  // A string token, decoded.
  std::string readString() {
    const std::size_t start = at_;
    skipString();
    try {
      return nlohmann::json::parse(text_.substr(start, at_ - start)).get<std::string>();
    } catch (const nlohmann::json::exception&) {
      return {};
    }
  }

  void skipString() {
    advance();  // the opening quote
    while (at_ < text_.size() && text_[at_] != '"') {
      at_ += text_[at_] == '\\' ? 2U : 1U;
    }
    advance();
  }

  void skipValue() {
    skipBlanks();
    const char first = current();
    if (first == '"') {
      skipString();
    } else if (first == '{' || first == '[') {
      int depth = 0;
      do {
        const char here = current();
        if (here == '"') {
          skipString();
          continue;
        }
        if (here == '{' || here == '[') ++depth;
        if (here == '}' || here == ']') --depth;
        advance();
      } while (depth > 0 && at_ < text_.size());
    } else {
      while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '}' && text_[at_] != ']' &&
             text_[at_] != ' ' && text_[at_] != '\n' && text_[at_] != '\r' && text_[at_] != '\t') {
        ++at_;
      }
    }
  }

  // Moves onto the value under the key; false (staying on the object) when there is none.
  bool enterKey(const std::string& key) {
    const std::size_t object = at_;
    advance();  // {
    for (;;) {
      skipBlanks();
      if (current() != '"') break;
      const std::string name = readString();
      skipBlanks();
      advance();  // :
      skipBlanks();
      if (name == key) return true;
      skipValue();
      skipBlanks();
      if (current() != ',') break;
      advance();
    }
    at_ = object;
    return false;
  }

  bool enterIndex(std::size_t index) {
    const std::size_t array = at_;
    advance();  // [
    for (std::size_t i = 0;; ++i) {
      skipBlanks();
      if (current() == ']' || at_ >= text_.size()) break;
      if (i == index) return true;
      skipValue();
      skipBlanks();
      if (current() != ',') break;
      advance();
    }
    at_ = array;
    return false;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::string fieldName(const JsonPath& path) {
  std::string name;
  for (const JsonStep& step : path) {
    if (const auto* key = std::get_if<std::string>(&step)) {
      if (!name.empty()) name += '.';
      name += *key;
    } else {
      name += '[' + std::to_string(std::get<std::size_t>(step)) + ']';
    }
  }
  return name.empty() ? "(the whole file)" : name;
}

TextPosition positionOf(std::string_view text, std::size_t offset) {
  TextPosition position;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n') {
      ++position.line;
      position.column = 1;
    } else if ((byte & 0xC0U) != 0x80U) {  // not a continuation byte: a new character
      ++position.column;
    }
  }
  return position;
}

namespace {

// Walks the scanner down the path; false where the path stops matching.
bool follow(Scanner& scanner, const JsonPath& path) {
  scanner.skipBlanks();
  for (const JsonStep& step : path) {
    scanner.skipBlanks();
    bool entered = false;
    if (const auto* key = std::get_if<std::string>(&step)) {
      entered = scanner.current() == '{' && scanner.enterKey(*key);
    } else {
      entered = scanner.current() == '[' && scanner.enterIndex(std::get<std::size_t>(step));
    }
    if (!entered) return false;
  }
  scanner.skipBlanks();
  return true;
}

}  // namespace

ElementPlaces locateElements(std::string_view json, const JsonPath& array, const std::string& key) {
  Scanner scanner(json);
  std::vector<std::size_t> offsets;  // element, keyed value, element, ...: ascending
  if (follow(scanner, array) && scanner.current() == '[') {
    scanner.advance();
    for (;;) {
      scanner.skipBlanks();
      if (scanner.current() == ']' || scanner.current() == '\0') break;
      offsets.push_back(scanner.offset());
      Scanner inner(json, scanner.offset());
      if (inner.current() == '{' && inner.enterKey(key)) {
        inner.skipBlanks();
        offsets.push_back(inner.offset());
      } else {
        offsets.push_back(scanner.offset());
      }
      scanner.skipValue();
      scanner.skipBlanks();
      if (scanner.current() != ',') break;
      scanner.advance();
    }
  }
  ElementPlaces places;
  TextPosition position;
  std::size_t at = 0;
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    const TextPosition step = positionOf(json.substr(at), offsets[i] - at);
    position.column = step.line > 1 ? step.column : position.column + step.column - 1;
    position.line += step.line - 1;
    at = offsets[i];
    (i % 2 == 0 ? places.elements : places.keyed).push_back(position);
  }
  return places;
}

TextPosition locate(std::string_view json, const JsonPath& path) {
  Scanner scanner(json);
  follow(scanner, path);
  return positionOf(json, scanner.offset());
}

}  // namespace kvm::workshop
