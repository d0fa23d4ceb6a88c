#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kvm::dxf {

// Bytes of a Windows code page (936, 1252, 932, 1361, ...) as UTF-8, through the operating
// system's own tables: one source per platform.
class CodePageConverter {
 public:
  // Nothing for a code page the system does not know.
  static std::optional<CodePageConverter> open(unsigned codePage);

  CodePageConverter(CodePageConverter&&) noexcept;
  CodePageConverter& operator=(CodePageConverter&&) noexcept;
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;
  ~CodePageConverter();

  // Nothing for bytes that are no text of the code page (a broken multibyte sequence, a byte
  // the code page leaves undefined).
  [[nodiscard]] std::optional<std::string> toUtf8(std::string_view bytes) const;

 private:
  struct Impl;
  explicit CodePageConverter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace kvm::dxf
