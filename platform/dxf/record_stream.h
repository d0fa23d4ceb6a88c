#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dxf/group_reader.h"

namespace kvm::dxf {

// The groups from one group 0 to the next: an entity, a table entry, a section's start. The
// storage is reused from record to record, so reading allocates nothing once warm. Numbers of
// an ASCII drawing are kept as written and parsed only when asked for: most groups of most
// records are never used, and a bad number where nothing is taken must not matter.
class Record {
 public:
  struct Field {
    int code = 0;
    bool parsed = false;       // `number` holds the value (numbers of a binary drawing)
    double number = 0;         //
    std::uint32_t offset = 0;  // text codes, and numbers as written: the value in the text store
    std::uint32_t size = 0;
    std::uint64_t position = 0;  // where the group is, for errors
  };

  [[nodiscard]] std::string_view type() const { return text(typeField_); }
  [[nodiscard]] std::uint64_t position() const noexcept { return position_; }
  [[nodiscard]] const std::vector<Field>& fields() const noexcept { return fields_; }
  [[nodiscard]] std::string_view text(const Field& field) const {
    return std::string_view(texts_).substr(field.offset, field.size);
  }
  // The field's number; NaN for a value that is no number, which is then kept as the record's
  // unreadable field.
  [[nodiscard]] double number(const Field& field) const;
  // The first value of the code, or the fallback where the record has none.
  [[nodiscard]] double number(int code, double fallback) const;
  [[nodiscard]] std::string_view text(int code, std::string_view fallback = {}) const;
  [[nodiscard]] bool has(int code) const;

  // The first field asked for whose value was no number; null while there is none.
  [[nodiscard]] const Field* unreadable() const noexcept {
    return unreadable_ < fields_.size() ? &fields_[unreadable_] : nullptr;
  }
  // "the value of group code 10 is not a number: \"abc\"" for the unreadable field.
  [[nodiscard]] std::string unreadableProblem() const;

  // Where the vertex groups of a light polyline read without them start; none for any other
  // record.
  [[nodiscard]] const std::optional<GroupReader::Mark>& vertices() const noexcept {
    return vertices_;
  }

 private:
  friend class RecordStream;
  void clear(std::uint64_t position);
  void addNumber(int code, double number, std::uint64_t position);
  void addText(int code, std::string_view text, std::uint64_t position);

  std::vector<Field> fields_;
  std::string texts_;
  Field typeField_;
  std::uint64_t position_ = 0;
  std::optional<GroupReader::Mark> vertices_;
  mutable std::size_t unreadable_ = static_cast<std::size_t>(-1);
};

// Reads a drawing record by record.
class RecordStream {
 public:
  explicit RecordStream(GroupReader& groups) : groups_(groups) {}

  // The next record; false at the end of the input. The end-of-file record (0 EOF) is the
  // last: what follows it is never read. With `holdVertices`, a light polyline (LWPOLYLINE)
  // in an input that can be read again comes without its vertex groups (10, 20, 40, 41, 42,
  // 91), so that one of millions of vertices takes no memory: the caller reads them with
  // readVertices.
  bool next(Record& record, bool holdVertices = false);

  // Reads the vertex groups of the record just read, handing each to `take(code, group)`; a
  // reader of the record's other groups is back where it was afterwards. May be called again.
  template <typename Take>
  void readVertices(const Record& record, const Take& take) {
    if (!record.vertices()) {
      return;
    }
    groups_.rewind(*record.vertices());
    while (groups_.next() && groups_.code() != 0) {
      if (isVertexCode(groups_.code())) {
        take(groups_.code(), groups_);
      }
    }
  }

  static bool isVertexCode(int code) {
    return code == 10 || code == 20 || code == 40 || code == 41 || code == 42 || code == 91;
  }

  [[nodiscard]] GroupReader& groups() noexcept { return groups_; }

 private:
  GroupReader& groups_;
  bool pending_ = false;  // the reader holds a group 0 not yet taken
  bool ended_ = false;    // the end-of-file record was handed out
};

}  // namespace kvm::dxf
