#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvm::dxf {

// A drawing that cannot be read; what() is one line naming the file, the line (ASCII) or
// byte offset (binary) and the problem.
class PlanError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A number as an ASCII drawing writes it (blanks around it, a leading '+' allowed); NaN and
// numbers out of a double's range come back as they are (NaN, infinity) for the caller to
// judge; nothing for a text that is no number.
std::optional<double> parseGroupNumber(std::string_view text);
// A value quoted in an error line: printable ASCII, at most 40 characters.
std::string quotedValue(std::string_view text);

// How a group's value is stored, by its group code.
enum class GroupType : std::uint8_t { Text, Real, Int16, Int32, Int64, Bool, Chunk };
GroupType groupTypeOf(int code);

// Reads the group code / value pairs of an ASCII or binary drawing interchange file one at a
// time through a fixed buffer, so memory does not depend on the file's size. A DWG file or
// anything else that is not a DXF is refused at the start, an empty file as empty. Comments
// (group 999) are passed over wherever they stand.
class GroupReader {
 public:
  // Reads from the file; its path names it in errors.
  explicit GroupReader(const std::filesystem::path& file);
  // Reads from bytes in memory (tests, fuzzing); `sourceName` names them in errors.
  GroupReader(std::string_view bytes, std::string sourceName);

  // The next group other than a comment; false at the end of the input.
  bool next();

  // The place before the next group, to read on from again with rewind.
  struct Mark {
    std::uint64_t offset = 0;
    std::uint64_t line = 0;
  };
  [[nodiscard]] Mark mark() const noexcept { return {consumed_ + begin_, line_}; }
  // Whether the input can be read again from a mark: bytes in memory and regular files can,
  // a pipe cannot.
  [[nodiscard]] bool canRewind() const noexcept { return rewindable_; }
  // Reads on from the mark, as if the groups after it had not been read yet.
  void rewind(const Mark& mark);

  [[nodiscard]] int code() const noexcept { return code_; }
  // The value's text: a string value as stored; a number as written in an ASCII file, empty
  // in a binary one.
  [[nodiscard]] std::string_view text() const noexcept { return text_; }
  // The value as a number; throws PlanError for a text that is not one. NaN and out-of-range
  // numbers come back as they are (NaN, infinity) for the caller to judge.
  [[nodiscard]] double number() const;
  [[nodiscard]] bool binary() const noexcept { return binary_; }

  // The current group's place: its code's line (ASCII) or its first byte's offset (binary).
  [[nodiscard]] std::uint64_t position() const noexcept {
    return binary_ ? groupOffset_ : groupLine_;
  }
  // "line 12" or "byte 345" for a place.
  [[nodiscard]] std::string describe(std::uint64_t position) const;
  [[nodiscard]] std::string where() const { return describe(position()); }
  [[nodiscard]] const std::string& sourceName() const noexcept { return source_; }
  [[noreturn]] void fail(const std::string& problem) const;

 private:
  void start();
  bool ensure(std::size_t bytes);
  bool nextAscii();
  bool nextBinary();
  bool asciiLine(std::string_view& line);
  void readBinaryValue();

  std::string source_;
  std::ifstream file_;
  bool fromFile_ = false;
  std::string_view memory_;  // the input when it is in memory
  std::vector<char> buffer_;
  std::size_t begin_ = 0;       // first unread byte in buffer_
  std::size_t end_ = 0;         // one past the last byte read into buffer_
  std::uint64_t consumed_ = 0;  // bytes of the input before buffer_[0]
  bool eof_ = false;
  bool rewindable_ = true;

  bool binary_ = false;
  bool wideCodes_ = false;  // binary group codes of two bytes (release 13 on)
  std::uint64_t line_ = 0;  // ASCII: lines read so far
  std::uint64_t groupLine_ = 0;
  std::uint64_t groupOffset_ = 0;
  int code_ = 0;
  std::string_view text_;
  double number_ = 0;
  bool hasNumber_ = false;  // binary numbers arrive as numbers
};

}  // namespace kvm::dxf
