#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dxf/code_page_converter.h"

namespace kvm::dxf {

// Turns the bytes of a name in a drawing into UTF-8: files before release 2007 hold the code
// page their header names ($DWGCODEPAGE, e.g. ANSI_936 = GBK), later ones UTF-8; either may
// write a character as \U+XXXX, or as \M+nXXXX in an Asian code page (5 = GBK).
class NameDecoder {
 public:
  NameDecoder();

  // "ANSI_936", "ANSI_1252", ...; false (and ANSI_1252 used) for one the converter lacks.
  bool useCodePage(std::string_view dwgCodePage);
  void useUtf8() { utf8_ = true; }

  // Nothing for bytes that are no text of the code page (a broken multibyte sequence).
  std::optional<std::string> decode(std::string_view bytes);

 private:
  [[nodiscard]] std::optional<std::string> decodePlain(std::string_view bytes) const;
  static std::optional<std::string> decodeAsian(char page, std::uint32_t character);

  std::optional<CodePageConverter> converter_;
  bool utf8_ = false;
  std::string lastBytes_;
  std::optional<std::string> lastName_;
};

// The ASCII letters of a UTF-8 name in lower case: names match regardless of their case.
std::string foldedName(std::string_view name);

}  // namespace kvm::dxf
