#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

#include "files/scratch_file.h"
#include "platform/dxf/dxf_entities.h"
#include "platform/dxf/group_writer.h"

namespace kvm::dxf {

// Writes an ASCII drawing interchange file of release 12 (AC1009) in code page 936: header
// with the drawing's extents, the tables of line types, layers, text styles and the
// application id, the blocks, and the entities in the order they are added. Entities stream to a
// scratch file beside the target, so memory does not grow with the drawing; finish() puts the file
// together and moves it into place. A writer destroyed before finish() leaves nothing behind. A
// file that cannot be written is a DxfError naming it and the system's reason.
class DxfWriter {
 public:
  DxfWriter(std::filesystem::path file, Tables tables, std::vector<Block> blocks = {});
  DxfWriter(const DxfWriter&) = delete;
  DxfWriter& operator=(const DxfWriter&) = delete;
  DxfWriter(DxfWriter&&) = delete;
  DxfWriter& operator=(DxfWriter&&) = delete;
  ~DxfWriter();

  // Each throws DxfError for a layer or style missing from the tables or a number that is not
  // finite; nothing of that entity is written then.
  void add(const Text& text);
  void add(const Line& line);
  void add(const Polyline& polyline);
  void add(const Insert& insert);

  void finish();

  [[nodiscard]] std::size_t entityCount() const noexcept { return entities_; }

 private:
  struct Extents {
    bool empty = true;
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
    void include(double x, double y);
  };

  void checkLayer(std::u16string_view layer) const;
  void checkStyle(std::u16string_view style) const;
  void writeHeader(GroupWriter& out) const;
  void writeTables(GroupWriter& out) const;
  void writeViewport(GroupWriter& out) const;
  void writeBlocks(GroupWriter& out) const;
  void writeLine(GroupWriter& out, const Line& line) const;
  void writePolyline(GroupWriter& out, const Polyline& polyline) const;
  void fail(const std::string& what) const;

  std::filesystem::path file_;
  Tables tables_;
  std::vector<Block> blocks_;
  std::unique_ptr<files::ScratchFile> scratch_;
  std::unique_ptr<GroupWriter> entityWriter_;
  Extents extents_;
  std::size_t entities_ = 0;
  bool finished_ = false;
};

}  // namespace kvm::dxf
