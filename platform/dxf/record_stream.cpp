#include "platform/dxf/record_stream.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kvm::dxf {

namespace {

// "EOF", also where a DOS end-of-file byte (0x1A) or blanks follow it on its line.
bool isEndOfFile(std::string_view type) {
  return type.starts_with("EOF") &&
         type.find_first_not_of(std::string_view("\x1a \t", 3), 3) == std::string_view::npos;
}

}  // namespace

void Record::clear(std::uint64_t position) {
  fields_.clear();
  texts_.clear();
  position_ = position;
  vertices_.reset();
  unreadable_ = static_cast<std::size_t>(-1);
}

void Record::addNumber(int code, double number, std::uint64_t position) {
  fields_.push_back({code, true, number, 0, 0, position});
}

void Record::addText(int code, std::string_view text, std::uint64_t position) {
  fields_.push_back({code, false, 0, static_cast<std::uint32_t>(texts_.size()),
                     static_cast<std::uint32_t>(text.size()), position});
  texts_.append(text);
}

double Record::number(const Field& field) const {
  if (field.parsed) {
    return field.number;
  }
  if (const std::optional<double> value = parseGroupNumber(text(field))) {
    return *value;
  }
  const auto index = static_cast<std::size_t>(&field - fields_.data());
  if (index < fields_.size() && index < unreadable_) {
    unreadable_ = index;
  }
  return std::numeric_limits<double>::quiet_NaN();
}

double Record::number(int code, double fallback) const {
  const auto found = std::find_if(fields_.begin(), fields_.end(),
                                  [code](const Field& field) { return field.code == code; });
  return found == fields_.end() ? fallback : number(*found);
}

std::string Record::unreadableProblem() const {
  const Field* field = unreadable();
  if (field == nullptr) {
    return {};
  }
  return "the value of group code " + std::to_string(field->code) +
         " is not a number: " + quotedValue(text(*field));
}

std::string_view Record::text(int code, std::string_view fallback) const {
  const auto found = std::find_if(fields_.begin(), fields_.end(),
                                  [code](const Field& field) { return field.code == code; });
  return found == fields_.end() ? fallback : text(*found);
}

bool Record::has(int code) const {
  return std::any_of(fields_.begin(), fields_.end(),
                     [code](const Field& field) { return field.code == code; });
}

bool RecordStream::next(Record& record, bool holdVertices) {
  if (ended_ || (!pending_ && !groups_.next())) {
    return false;
  }
  pending_ = false;
  if (groups_.code() != 0) {
    groups_.fail("expected group code 0 (the start of an entity or a section), found group code " +
                 std::to_string(groups_.code()));
  }
  record.clear(groups_.position());
  ended_ = isEndOfFile(groups_.text());
  const std::string_view type = ended_ ? std::string_view("EOF") : groups_.text();
  record.typeField_ = {0, false, 0, 0, static_cast<std::uint32_t>(type.size()), groups_.position()};
  record.texts_.append(type);
  if (ended_) {
    return true;  // padding, a DOS end-of-file byte or anything else may follow
  }
  const bool numbersAsWritten = !groups_.binary();
  holdVertices = holdVertices && type == "LWPOLYLINE" && groups_.canRewind();
  GroupReader::Mark before = groups_.mark();
  while (groups_.next()) {
    const int code = groups_.code();
    if (code == 0) {
      pending_ = true;
      break;
    }
    if (holdVertices && isVertexCode(code)) {
      if (!record.vertices_) {
        record.vertices_ = before;
      }
      before = groups_.mark();
      continue;
    }
    before = groups_.mark();
    const GroupType kind = groupTypeOf(code);
    if (kind == GroupType::Text || kind == GroupType::Chunk || numbersAsWritten) {
      record.addText(code, groups_.text(), groups_.position());
    } else {
      record.addNumber(code, groups_.number(), groups_.position());
    }
  }
  return true;
}

}  // namespace kvm::dxf
