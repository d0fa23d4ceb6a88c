#include "platform/sim/lisp/printer.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "base/text.h"

namespace kvm::sim {

namespace {

void appendQuoted(std::u16string& out, std::u16string_view text) {
  out += u'"';
  for (char16_t c : text) {
    switch (c) {
      case u'"': out += u"\\\""; break;
      case u'\\': out += u"\\\\"; break;
      case u'\n': out += u"\\n"; break;
      case u'\t': out += u"\\t"; break;
      case u'\r': out += u"\\r"; break;
      default: out += c;
    }
  }
  out += u'"';
}

void append(std::u16string& out, const LispValue& value) {
  if (value.isNil()) {
    out += u"nil";
  } else if (value.isInteger()) {
    out += decimal(value.integerValue());
  } else if (value.isReal()) {
    out += printReal(value.realValue());
  } else if (value.isString()) {
    appendQuoted(out, value.stringValue());
  } else if (value.isSymbol()) {
    out += value.symbolName();
  } else {
    const LispList& list = value.listValue();
    out += u'(';
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      if (i > 0) {
        out += u' ';
      }
      append(out, list.items[i]);
    }
    if (!list.tail.isNil()) {
      out += u" . ";
      append(out, list.tail);
    }
    out += u')';
  }
}

}  // namespace

std::u16string printReal(double value) {
  if (std::isnan(value)) {
    return u"1.#QNAN";
  }
  if (std::isinf(value)) {
    return value > 0 ? u"1.#INF" : u"-1.#INF";
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  std::string text(buffer);
  const std::size_t exponent = text.find('e');
  const std::string mantissa = text.substr(0, exponent);
  if (mantissa.find('.') == std::string::npos) {
    text.insert(mantissa.size(), ".0");
  }
  return fromUtf8(text);
}

std::u16string printLisp(const LispValue& value) {
  std::u16string out;
  append(out, value);
  return out;
}

}  // namespace kvm::sim
