#include "platform/dxf/group_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace kvm::dxf {

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;
// No line or string of a drawing comes near this; a longer one is not a drawing.
constexpr std::size_t kMaxValue = std::size_t{1} << 20;
constexpr std::string_view kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// A comment, which many CAD programs write as the very first group.
constexpr int kCommentCode = 999;

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

template <typename T>
T littleEndian(const char* bytes) {
  std::array<unsigned char, sizeof(T)> raw{};
  std::memcpy(raw.data(), bytes, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) {
    std::reverse(raw.begin(), raw.end());
  }
  T value{};
  std::memcpy(&value, raw.data(), sizeof(T));
  return value;
}

}  // namespace

std::optional<double> parseGroupNumber(std::string_view text) {
  std::string_view digits = trimmed(text);
  if (digits.starts_with('+')) {
    digits.remove_prefix(1);
  }
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc::result_out_of_range) {
    return digits.starts_with('-') ? -std::numeric_limits<double>::infinity()
                                   : std::numeric_limits<double>::infinity();
  }
  if (error != std::errc{} || end != digits.data() + digits.size() || digits.empty()) {
    return std::nullopt;
  }
  return value;
}

std::string quotedValue(std::string_view text) {
  std::string out = "\"";
  for (const char c : text.substr(0, 40)) {
    out += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  out += text.size() > 40 ? "...\"" : "\"";
  return out;
}

GroupType groupTypeOf(int code) {
  const auto in = [code](int low, int high) { return code >= low && code <= high; };
  if (in(10, 59) || in(110, 149) || in(210, 239) || in(460, 469) || in(1010, 1059)) {
    return GroupType::Real;
  }
  if (in(60, 79) || in(170, 179) || in(270, 289) || in(370, 389) || in(400, 409) ||
      in(1060, 1070)) {
    return GroupType::Int16;
  }
  if (in(90, 99) || in(420, 429) || in(440, 459) || code == 1071) {
    return GroupType::Int32;
  }
  if (in(160, 169)) {
    return GroupType::Int64;
  }
  if (in(290, 299)) {
    return GroupType::Bool;
  }
  if (in(310, 319) || code == 1004) {
    return GroupType::Chunk;
  }
  return GroupType::Text;
}

GroupReader::GroupReader(const std::filesystem::path& file)
    : source_(file.string()), file_(file, std::ios::binary), fromFile_(true) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) {
    throw PlanError(source_ + ": a folder, not a drawing");
  }
  if (!file_) {
    const bool exists = std::filesystem::exists(file, error);
    throw PlanError(source_ + (exists ? ": cannot be opened" : ": no such file"));
  }
  rewindable_ = std::filesystem::is_regular_file(file, error);
  start();
}

GroupReader::GroupReader(std::string_view bytes, std::string sourceName)
    : source_(std::move(sourceName)), memory_(bytes) {
  start();
}

void GroupReader::start() {
  // Bytes in memory need no more buffer than they are long (fuzzing reads many small inputs).
  buffer_.resize(fromFile_ ? kChunk : std::clamp<std::size_t>(memory_.size(), 64, kChunk));
  ensure(kBinarySentinel.size() + 2);
  const std::string_view head(buffer_.data() + begin_, end_ - begin_);
  if (head.size() >= 6 && head.starts_with("AC1") &&
      std::all_of(head.begin() + 3, head.begin() + 6,
                  [](char c) { return c >= '0' && c <= '9'; })) {
    throw PlanError(source_ +
                    ": a DWG drawing, which this program cannot read: save it as DXF "
                    "(ASCII or binary) in the CAD program and give that file");
  }
  if (head.starts_with(kBinarySentinel)) {
    binary_ = true;
    begin_ += kBinarySentinel.size();
    // The first group is 0 SECTION: a second zero byte means codes of two bytes.
    wideCodes_ =
        head.size() > kBinarySentinel.size() + 1 && head[kBinarySentinel.size() + 1] == '\0';
  } else if (head.starts_with(kUtf8Mark)) {
    begin_ += kUtf8Mark.size();
  }
  if (!binary_ && begin_ == end_) {
    throw PlanError(source_ + ": the file is empty");
  }
}

bool GroupReader::ensure(std::size_t bytes) {
  while (end_ - begin_ < bytes && !eof_) {
    if (begin_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
      consumed_ += begin_;
      end_ -= begin_;
      begin_ = 0;
    }
    if (end_ == buffer_.size()) {
      buffer_.resize(buffer_.size() * 2);
    }
    const std::size_t room = buffer_.size() - end_;
    std::size_t got = 0;
    if (fromFile_) {
      file_.read(buffer_.data() + end_, static_cast<std::streamsize>(room));
      got = static_cast<std::size_t>(file_.gcount());
      if (file_.bad()) {
        fail("cannot be read further");
      }
    } else {
      const std::size_t at = static_cast<std::size_t>(consumed_) + end_;
      got = std::min(room, memory_.size() - std::min(at, memory_.size()));
      std::memcpy(buffer_.data() + end_, memory_.data() + at, got);
    }
    end_ += got;
    eof_ = got == 0;
  }
  return end_ - begin_ >= bytes;
}

void GroupReader::rewind(const Mark& mark) {
  if (mark.offset >= consumed_ && mark.offset <= consumed_ + end_) {
    begin_ = static_cast<std::size_t>(mark.offset - consumed_);
  } else {
    if (fromFile_) {
      file_.clear();
      file_.seekg(static_cast<std::streamoff>(mark.offset));
      if (!file_) {
        fail("cannot be read again from byte " + std::to_string(mark.offset));
      }
    }
    consumed_ = mark.offset;
    begin_ = 0;
    end_ = 0;
    eof_ = false;
  }
  line_ = mark.line;
}

bool GroupReader::asciiLine(std::string_view& line) {
  std::size_t searched = 0;
  for (;;) {
    const char* from = buffer_.data() + begin_ + searched;
    const auto* newline =
        static_cast<const char*>(std::memchr(from, '\n', end_ - begin_ - searched));
    if (newline != nullptr) {
      const auto length = static_cast<std::size_t>(newline - (buffer_.data() + begin_));
      line = std::string_view(buffer_.data() + begin_, length);
      begin_ += length + 1;
      break;
    }
    searched = end_ - begin_;
    if (searched > kMaxValue) {
      ++line_;
      fail("a line longer than 1 MiB: not a drawing interchange file");
    }
    if (!ensure(searched + 1)) {
      if (searched == 0) {
        return false;
      }
      line = std::string_view(buffer_.data() + begin_, searched);
      begin_ = end_;
      break;
    }
  }
  ++line_;
  if (line.ends_with('\r')) {
    line.remove_suffix(1);
  }
  return true;
}

bool GroupReader::next() {
  do {
    if (!(binary_ ? nextBinary() : nextAscii())) {
      return false;
    }
  } while (code_ == kCommentCode);
  return true;
}

bool GroupReader::nextAscii() {
  std::string_view codeLine;
  if (!asciiLine(codeLine)) {
    return false;
  }
  groupLine_ = line_;
  const std::string_view digits = trimmed(codeLine);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code_);
  if (error != std::errc{} || end != digits.data() + digits.size() || digits.empty()) {
    fail(line_ == 1 ? "not a drawing interchange file (DXF): the first line is no group code"
                    : "expected a group code, found " + quotedValue(codeLine));
  }
  if (!asciiLine(text_)) {
    fail("the file is cut short: it ends after group code " + std::to_string(code_) +
         ", before its value");
  }
  hasNumber_ = false;
  return true;
}

bool GroupReader::nextBinary() {
  groupOffset_ = consumed_ + begin_;
  if (!ensure(1)) {
    return false;
  }
  const auto cut = [this] { fail("the file ends in the middle of a group"); };
  if (wideCodes_) {
    if (!ensure(2)) {
      cut();
    }
    code_ = littleEndian<std::int16_t>(buffer_.data() + begin_);
    begin_ += 2;
  } else {
    code_ = static_cast<unsigned char>(buffer_[begin_]);
    begin_ += 1;
    if (code_ == 255) {
      if (!ensure(2)) {
        cut();
      }
      code_ = littleEndian<std::int16_t>(buffer_.data() + begin_);
      begin_ += 2;
    }
  }
  if (code_ < 0) {
    fail("group code " + std::to_string(code_) + " is not one of a drawing");
  }
  readBinaryValue();
  return true;
}

void GroupReader::readBinaryValue() {
  const auto fixed = [this](std::size_t size) {
    if (!ensure(size)) {
      fail("the file ends in the middle of a group");
    }
    const char* bytes = buffer_.data() + begin_;
    begin_ += size;
    return bytes;
  };
  hasNumber_ = true;
  text_ = {};
  switch (groupTypeOf(code_)) {
    case GroupType::Real: number_ = littleEndian<double>(fixed(8)); return;
    case GroupType::Int16: number_ = littleEndian<std::int16_t>(fixed(2)); return;
    case GroupType::Int32: number_ = littleEndian<std::int32_t>(fixed(4)); return;
    case GroupType::Int64:
      number_ = static_cast<double>(littleEndian<std::int64_t>(fixed(8)));
      return;
    case GroupType::Bool: number_ = static_cast<unsigned char>(*fixed(1)); return;
    case GroupType::Chunk: {
      const auto size = static_cast<unsigned char>(*fixed(1));
      text_ = std::string_view(fixed(size), size);
      hasNumber_ = false;
      return;
    }
    case GroupType::Text: break;
  }
  hasNumber_ = false;
  std::size_t searched = 0;
  for (;;) {
    const char* from = buffer_.data() + begin_ + searched;
    const auto* zero = static_cast<const char*>(std::memchr(from, 0, end_ - begin_ - searched));
    if (zero != nullptr) {
      const auto length = static_cast<std::size_t>(zero - (buffer_.data() + begin_));
      text_ = std::string_view(buffer_.data() + begin_, length);
      begin_ += length + 1;
      return;
    }
    searched = end_ - begin_;
    if (searched > kMaxValue) {
      fail("a string longer than 1 MiB: not a drawing interchange file");
    }
    if (!ensure(searched + 1)) {
      fail("the file ends in the middle of a group");
    }
  }
}

double GroupReader::number() const {
  if (hasNumber_) {
    return number_;
  }
  const std::optional<double> value = parseGroupNumber(text_);
  if (!value) {
    fail("the value of group code " + std::to_string(code_) +
         " is not a number: " + quotedValue(text_));
  }
  return *value;
}

std::string GroupReader::describe(std::uint64_t position) const {
  return (binary_ ? "byte " : "line ") + std::to_string(position);
}

void GroupReader::fail(const std::string& problem) const {
  throw PlanError(source_ + ": " + where() + ": " + problem);
}

}  // namespace kvm::dxf
