#include "platform/sim/lisp/reader.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "base/text.h"
#include "platform/sim/lisp/errors.h"

namespace kvm::sim {

namespace {

bool isBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

bool isDelimiter(char16_t c) {
  return isBlank(c) || c == u'(' || c == u')' || c == u'\'' || c == u'"' || c == u';';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Integer, or real with optional fraction and exponent; nothing else counts as a number.
bool looksNumeric(std::string_view token, bool& integral) {
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    ++i;
  }
  std::size_t digits = 0;
  while (i < token.size() && isDigit(token[i])) {
    ++i;
    ++digits;
  }
  integral = i == token.size() && digits > 0;
  if (integral) {
    return true;
  }
  if (i < token.size() && token[i] == '.') {
    ++i;
    while (i < token.size() && isDigit(token[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) {
    return false;
  }
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
      ++i;
    }
    std::size_t exponentDigits = 0;
    while (i < token.size() && isDigit(token[i])) {
      ++i;
      ++exponentDigits;
    }
    if (exponentDigits == 0) {
      return false;
    }
  }
  return i == token.size();
}

std::optional<LispValue> parseNumber(std::u16string_view token) {
  std::string ascii;
  for (char16_t c : token) {
    if (c > 0x7F) {
      return std::nullopt;
    }
    ascii.push_back(static_cast<char>(c));
  }
  bool integral = false;
  if (!looksNumeric(ascii, integral)) {
    return std::nullopt;
  }
  std::string_view digits = ascii;
  if (digits.front() == '+') {
    digits.remove_prefix(1);
  }
  if (integral) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc() && end == digits.data() + digits.size()) {
      return LispValue::integer(value);
    }
    // Integers beyond 32 bits read as reals, as the engine does.
  }
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc::result_out_of_range) {
    const bool negative = digits.front() == '-';
    return LispValue::real(negative ? -std::numeric_limits<double>::infinity()
                                    : std::numeric_limits<double>::infinity());
  }
  if (error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return LispValue::real(value);
}

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}

  LispValue readForm(int depth) {
    if (depth > LispValue::kMaxDepth) {
      throwStackLimit();
    }
    skipBlanksAndComments();
    if (atEnd()) {
      throwMalformedInput();
    }
    const char16_t c = text_[pos_];
    if (c == u'(') {
      ++pos_;
      return readListRest(depth);
    }
    if (c == u')') {
      throwMalformedInput();
    }
    if (c == u'\'') {
      ++pos_;
      LispValue quoted = readForm(depth + 1);
      return LispValue::list({LispValue::symbol(u"QUOTE"), std::move(quoted)});
    }
    if (c == u'"') {
      ++pos_;
      return readStringRest();
    }
    return readAtom();
  }

 private:
  [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }

  void skipBlanksAndComments() {
    while (!atEnd()) {
      const char16_t c = text_[pos_];
      if (isBlank(c)) {
        ++pos_;
      } else if (c == u';') {
        skipComment();
      } else {
        return;
      }
    }
  }

  // ";" to the end of the line, or ";|" up to "|;".
  void skipComment() {
    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'|') {
      const std::size_t close = text_.find(u"|;", pos_ + 2);
      if (close == std::u16string_view::npos) {
        throwMalformedInput();
      }
      pos_ = close + 2;
      return;
    }
    while (!atEnd() && text_[pos_] != u'\n') {
      ++pos_;
    }
  }

  LispValue readListRest(int depth) {
    std::vector<LispValue> items;
    while (true) {
      skipBlanksAndComments();
      if (atEnd()) {
        throwMalformedInput();
      }
      if (text_[pos_] == u')') {
        ++pos_;
        return LispValue::list(std::move(items));
      }
      if (isDot()) {
        if (items.empty()) {
          throwMalformedInput();
        }
        ++pos_;
        LispValue tail = readForm(depth + 1);
        skipBlanksAndComments();
        if (atEnd() || text_[pos_] != u')') {
          throwMalformedInput();
        }
        ++pos_;
        return LispValue::list(std::move(items), std::move(tail));
      }
      items.push_back(readForm(depth + 1));
    }
  }

  [[nodiscard]] bool isDot() const {
    return text_[pos_] == u'.' && (pos_ + 1 == text_.size() || isDelimiter(text_[pos_ + 1]));
  }

  LispValue readStringRest() {
    std::u16string value;
    while (true) {
      if (atEnd()) {
        throwMalformedInput();
      }
      const char16_t c = text_[pos_++];
      if (c == u'"') {
        return LispValue::string(std::move(value));
      }
      if (c != u'\\') {
        value += c;
        continue;
      }
      if (atEnd()) {
        throwMalformedInput();
      }
      const char16_t escaped = text_[pos_++];
      switch (escaped) {
        case u'n': value += u'\n'; break;
        case u't': value += u'\t'; break;
        case u'r': value += u'\r'; break;
        case u'e': value += u'\x1B'; break;
        default: value += escaped;  // \" \\ and any other character stand for themselves
      }
    }
  }

  LispValue readAtom() {
    const std::size_t start = pos_;
    while (!atEnd() && !isDelimiter(text_[pos_])) {
      ++pos_;
    }
    const std::u16string_view token = text_.substr(start, pos_ - start);
    if (token == u".") {
      throwMalformedInput();
    }
    if (std::optional<LispValue> number = parseNumber(token)) {
      return *number;
    }
    std::u16string name = asciiUpper(token);
    if (name == u"NIL") {
      return {};
    }
    return LispValue::symbol(std::move(name));
  }

  std::u16string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

LispValue readLisp(std::u16string_view text) {
  if (text.size() > kMaxLispTextLength) {
    throwLispError(u"input too long");
  }
  Reader reader(text);
  return reader.readForm(0);
}

}  // namespace kvm::sim
