#include "base/printable.h"

#include <array>
#include <cstdio>

namespace kvm {

namespace {

std::string escaped(unsigned value) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "\\x%02X", value);
  return text.data();
}

}  // namespace

std::string printable(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x20 || byte == 0x7F) {
      out += escaped(byte);
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      out += escaped(static_cast<unsigned char>(utf8[++i]));
    } else {
      out.push_back(utf8[i]);
    }
  }
  return out;
}

}  // namespace kvm
