#include "platform/dxf/record_stream.h"

#include <algorithm>

namespace kvm::dxf {

void Record::clear(std::uint64_t position) {
  fields_.clear();
  texts_.clear();
  position_ = position;
}

void Record::add(int code, double number, std::string_view text, std::uint64_t position) {
  Field field{code, number, static_cast<std::uint32_t>(texts_.size()),
              static_cast<std::uint32_t>(text.size()), position};
  texts_.append(text);
  fields_.push_back(field);
}

double Record::number(int code, double fallback) const {
  const auto found = std::find_if(fields_.begin(), fields_.end(),
                                  [code](const Field& field) { return field.code == code; });
  return found == fields_.end() ? fallback : found->number;
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

bool RecordStream::next(Record& record) {
  if (!pending_ && !groups_.next()) {
    return false;
  }
  pending_ = false;
  if (groups_.code() != 0) {
    groups_.fail("expected group code 0 (the start of an entity or a section), found group code " +
                 std::to_string(groups_.code()));
  }
  record.clear(groups_.position());
  const std::string_view type = groups_.text();
  record.typeField_ = {0, 0, 0, static_cast<std::uint32_t>(type.size()), groups_.position()};
  record.texts_.append(type);
  while (groups_.next()) {
    const int code = groups_.code();
    if (code == 0) {
      pending_ = true;
      break;
    }
    const GroupType kind = groupTypeOf(code);
    if (kind == GroupType::Text || kind == GroupType::Chunk) {
      record.add(code, 0, groups_.text(), groups_.position());
    } else {
      record.add(code, groups_.number(), {}, groups_.position());
    }
  }
  return true;
}

}  // namespace kvm::dxf
