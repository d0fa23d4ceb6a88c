#include "platform/dxf/dxf_writer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/codepage.h"
#include "base/text.h"
#include "files/file_write_error.h"
#include "files/staged_file.h"

namespace kvm::dxf {

namespace {

struct Justification {
  int horizontal;  // group 72
  int vertical;    // group 73
};

// The object model's alignment as the file's horizontal and vertical justification.
constexpr std::array<Justification, 15> kJustifications{{{0, 0},
                                                         {1, 0},
                                                         {2, 0},
                                                         {3, 0},
                                                         {4, 0},
                                                         {5, 0},
                                                         {0, 3},
                                                         {1, 3},
                                                         {2, 3},
                                                         {0, 2},
                                                         {1, 2},
                                                         {2, 2},
                                                         {0, 1},
                                                         {1, 1},
                                                         {2, 1}}};

bool finite(const Point& point) {
  return std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}

bool sameName(std::u16string_view a, std::u16string_view b) {
  return equalsIgnoringAsciiCase(a, b);
}

// Release 12 knows the line types by their upper-case names.
std::u16string linetypeName(std::u16string_view linetype) {
  return asciiUpper(linetype);
}

// How far a text reaches, measured like the simulated host does: full-width characters as
// wide as the text is high (times the width factor), single-byte ones half that.
double textWidth(const Text& text) {
  double units = 0;
  for (std::size_t i = 0; i < text.text.size(); ++i) {
    units += text.text[i] < 0x80 || gbkByteLength(std::u16string_view(text.text).substr(i, 1)) == 1
                 ? 0.5
                 : 1.0;
  }
  return units * text.height * text.widthFactor;
}

}  // namespace

void DxfWriter::Extents::include(double x, double y) {
  if (empty) {
    minX = maxX = x;
    minY = maxY = y;
    empty = false;
    return;
  }
  minX = std::min(minX, x);
  minY = std::min(minY, y);
  maxX = std::max(maxX, x);
  maxY = std::max(maxY, y);
}

namespace {

// The entities' scratch file, with a failure to make it as the drawing's own error.
std::unique_ptr<files::ScratchFile> scratchFor(const std::filesystem::path& file) {
  try {
    return std::make_unique<files::ScratchFile>(file);
  } catch (const files::FileWriteError& error) {
    throw DxfError(error.what());
  }
}

}  // namespace

DxfWriter::DxfWriter(std::filesystem::path file, Tables tables, std::vector<Block> blocks)
    : file_(std::move(file)),
      tables_(std::move(tables)),
      blocks_(std::move(blocks)),
      scratch_(scratchFor(file_)),
      entityWriter_(std::make_unique<GroupWriter>(scratch_->stream())) {}

DxfWriter::~DxfWriter() = default;

void DxfWriter::fail(const std::string& what) const {
  throw DxfError(file_.string() + ": " + what);
}

void DxfWriter::checkLayer(std::u16string_view layer) const {
  const bool known = std::any_of(tables_.layers.begin(), tables_.layers.end(),
                                 [layer](const Layer& each) { return sameName(each.name, layer); });
  if (!known) {
    fail("the layer \"" + toUtf8(layer) + "\" is not in the layer table");
  }
}

void DxfWriter::checkStyle(std::u16string_view style) const {
  const bool known =
      std::any_of(tables_.styles.begin(), tables_.styles.end(),
                  [style](const TextStyle& each) { return sameName(each.name, style); });
  if (!known) {
    fail("the text style \"" + toUtf8(style) + "\" is not in the style table");
  }
}

void DxfWriter::add(const Text& text) {
  checkLayer(text.layer);
  checkStyle(text.style);
  if (text.alignment < 0 || text.alignment >= static_cast<int32_t>(kJustifications.size())) {
    fail("a text has the alignment " + std::to_string(text.alignment) + ", not 0 to 14");
  }
  if (!finite(text.insertion) || !finite(text.alignmentPoint) || !std::isfinite(text.rotation) ||
      !(text.height > 0) || !std::isfinite(text.height) || !(text.widthFactor > 0) ||
      !std::isfinite(text.widthFactor)) {
    fail("a text has a point, height, width factor or rotation that is not a finite size");
  }
  const Justification justification = kJustifications[static_cast<std::size_t>(text.alignment)];
  const bool aligned = justification.horizontal != 0 || justification.vertical != 0;

  GroupWriter& out = *entityWriter_;
  out.text(0, "TEXT");
  out.text(8, text.layer);
  if (!sameName(text.linetype, u"ByLayer")) {
    out.text(6, linetypeName(text.linetype));
  }
  if (text.color != 256) {
    out.integer(62, text.color);
  }
  out.point(10, text.insertion.x, text.insertion.y, text.insertion.z);
  out.real(40, text.height);
  out.text(1, text.text);
  if (text.rotation != 0) {
    out.real(50, text.rotation);
  }
  if (text.widthFactor != 1) {
    out.real(41, text.widthFactor);
  }
  out.text(7, text.style);
  if (justification.horizontal != 0) {
    out.integer(72, justification.horizontal);
  }
  if (aligned) {
    out.point(11, text.alignmentPoint.x, text.alignmentPoint.y, text.alignmentPoint.z);
  }
  if (justification.vertical != 0) {
    out.integer(73, justification.vertical);
  }

  const Point& reference = aligned ? text.alignmentPoint : text.insertion;
  const double width = textWidth(text);
  const double left = reference.x - width * (justification.horizontal == 1   ? 0.5
                                             : justification.horizontal == 2 ? 1.0
                                                                             : 0.0);
  const double bottom = reference.y - text.height * (justification.vertical == 3   ? 1.0
                                                     : justification.vertical == 2 ? 0.5
                                                                                   : 0.0);
  extents_.include(left, bottom);
  extents_.include(left + width, bottom + text.height);
  ++entities_;
}

void DxfWriter::writeLine(GroupWriter& out, const Line& line) const {
  checkLayer(line.layer);
  if (!finite(line.start) || !finite(line.end)) {
    fail("a line has an end that is not a finite point");
  }
  out.text(0, "LINE");
  out.text(8, line.layer);
  if (line.color != 256) {
    out.integer(62, line.color);
  }
  out.point(10, line.start.x, line.start.y, line.start.z);
  out.point(11, line.end.x, line.end.y, line.end.z);
}

void DxfWriter::add(const Line& line) {
  writeLine(*entityWriter_, line);
  extents_.include(line.start.x, line.start.y);
  extents_.include(line.end.x, line.end.y);
  ++entities_;
}

void DxfWriter::writePolyline(GroupWriter& out, const Polyline& polyline) const {
  checkLayer(polyline.layer);
  if (polyline.vertices.size() < 2) {
    fail("a polyline has fewer than two vertices");
  }
  if (!std::all_of(polyline.vertices.begin(), polyline.vertices.end(), [](const Point& vertex) {
        return std::isfinite(vertex.x) && std::isfinite(vertex.y);
      })) {
    fail("a polyline has a vertex that is not a finite point");
  }
  out.text(0, "POLYLINE");
  out.text(8, polyline.layer);
  if (polyline.color != 256) {
    out.integer(62, polyline.color);
  }
  out.integer(66, 1);
  out.point(10, 0, 0, 0);
  out.integer(70, polyline.closed ? 1 : 0);
  for (const Point& vertex : polyline.vertices) {
    out.text(0, "VERTEX");
    out.text(8, polyline.layer);
    out.point(10, vertex.x, vertex.y, 0);
  }
  out.text(0, "SEQEND");
  out.text(8, polyline.layer);
}

void DxfWriter::add(const Polyline& polyline) {
  writePolyline(*entityWriter_, polyline);
  for (const Point& vertex : polyline.vertices) {
    extents_.include(vertex.x, vertex.y);
  }
  ++entities_;
}

void DxfWriter::add(const Insert& insert) {
  checkLayer(insert.layer);
  const auto block = std::find_if(blocks_.begin(), blocks_.end(), [&insert](const Block& b) {
    return sameName(b.name, insert.block);
  });
  if (block == blocks_.end()) {
    fail("block " + toUtf8(insert.block) + " is not among the drawing's blocks");
  }
  if (!finite(insert.insertion) || !std::isfinite(insert.xScale) || !std::isfinite(insert.yScale) ||
      !std::isfinite(insert.rotation)) {
    fail("a block reference has a value that is not a finite number");
  }
  GroupWriter& out = *entityWriter_;
  out.text(0, "INSERT");
  out.text(8, insert.layer);
  out.text(2, insert.block);
  out.point(10, insert.insertion.x, insert.insertion.y, insert.insertion.z);
  out.real(41, insert.xScale);
  out.real(42, insert.yScale);
  out.real(50, insert.rotation);
  extents_.include(insert.insertion.x, insert.insertion.y);
  ++entities_;
}

void DxfWriter::writeBlocks(GroupWriter& out) const {
  out.text(0, "SECTION");
  out.text(2, "BLOCKS");
  for (const Block& block : blocks_) {
    out.text(0, "BLOCK");
    out.text(8, u"0");
    out.text(2, block.name);
    out.integer(70, 0);
    out.point(10, block.base.x, block.base.y, block.base.z);
    out.text(3, block.name);
    for (const Line& line : block.lines) {
      writeLine(out, line);
    }
    for (const Polyline& polyline : block.polylines) {
      writePolyline(out, polyline);
    }
    out.text(0, "ENDBLK");
    out.text(8, u"0");
  }
  out.text(0, "ENDSEC");
}

void DxfWriter::writeHeader(GroupWriter& out) const {
  out.text(0, "SECTION");
  out.text(2, "HEADER");
  out.text(9, "$ACADVER");
  out.text(1, "AC1009");
  out.text(9, "$DWGCODEPAGE");
  out.text(3, "ANSI_936");
  out.text(9, "$INSBASE");
  out.point(10, 0, 0, 0);
  out.text(9, "$EXTMIN");
  out.point(10, extents_.minX, extents_.minY, 0);
  out.text(9, "$EXTMAX");
  out.point(10, extents_.maxX, extents_.maxY, 0);
  out.text(9, "$LIMMIN");
  out.real(10, extents_.minX);
  out.real(20, extents_.minY);
  out.text(9, "$LIMMAX");
  out.real(10, extents_.maxX);
  out.real(20, extents_.maxY);
  out.text(9, "$CLAYER");
  out.text(8, "0");
  out.text(0, "ENDSEC");
}

void DxfWriter::writeViewport(GroupWriter& out) const {
  // The view a program opens with: the whole drawing, with a margin.
  const double width = std::max(extents_.maxX - extents_.minX, 1.0);
  const double height = std::max(extents_.maxY - extents_.minY, 1.0);
  out.text(0, "TABLE");
  out.text(2, "VPORT");
  out.integer(70, 1);
  out.text(0, "VPORT");
  out.text(2, "*ACTIVE");
  out.integer(70, 0);
  out.real(10, 0);
  out.real(20, 0);
  out.real(11, 1);
  out.real(21, 1);
  out.real(12, (extents_.minX + extents_.maxX) / 2);
  out.real(22, (extents_.minY + extents_.maxY) / 2);
  out.real(13, 0);
  out.real(23, 0);
  out.real(14, 10);
  out.real(24, 10);
  out.real(15, 10);
  out.real(25, 10);
  out.point(16, 0, 0, 1);
  out.point(17, 0, 0, 0);
  out.real(40, height * 1.05);
  out.real(41, std::clamp(width / height, 0.25, 4.0));
  out.real(42, 50);
  out.real(43, 0);
  out.real(44, 0);
  out.real(50, 0);
  out.real(51, 0);
  out.integer(71, 0);
  out.integer(72, 100);
  out.integer(73, 1);
  out.integer(74, 3);
  out.integer(75, 0);
  out.integer(76, 0);
  out.integer(77, 0);
  out.integer(78, 0);
  out.text(0, "ENDTAB");
}

void DxfWriter::writeTables(GroupWriter& out) const {
  out.text(0, "SECTION");
  out.text(2, "TABLES");
  writeViewport(out);

  out.text(0, "TABLE");
  out.text(2, "LTYPE");
  out.integer(70, 1);
  out.text(0, "LTYPE");
  out.text(2, "CONTINUOUS");
  out.integer(70, 0);
  out.text(3, "Solid line");
  out.integer(72, 65);
  out.integer(73, 0);
  out.real(40, 0);
  out.text(0, "ENDTAB");

  out.text(0, "TABLE");
  out.text(2, "LAYER");
  out.integer(70, static_cast<long long>(tables_.layers.size()));
  for (const Layer& layer : tables_.layers) {
    out.text(0, "LAYER");
    out.text(2, layer.name);
    out.integer(70, 0);
    out.integer(62, layer.color);
    out.text(6, "CONTINUOUS");
  }
  out.text(0, "ENDTAB");

  out.text(0, "TABLE");
  out.text(2, "STYLE");
  out.integer(70, static_cast<long long>(tables_.styles.size()));
  for (const TextStyle& style : tables_.styles) {
    out.text(0, "STYLE");
    out.text(2, style.name);
    out.integer(70, 0);
    out.real(40, 0);  // height fixed by each text
    out.real(41, 1);
    out.real(50, 0);
    out.integer(71, 0);
    out.real(42, 2.5);
    out.text(3, style.fontFile);
    out.text(4, style.bigFontFile);
  }
  out.text(0, "ENDTAB");

  for (const char* empty : {"VIEW", "UCS"}) {
    out.text(0, "TABLE");
    out.text(2, empty);
    out.integer(70, 0);
    out.text(0, "ENDTAB");
  }

  out.text(0, "TABLE");
  out.text(2, "APPID");
  out.integer(70, 1);
  out.text(0, "APPID");
  out.text(2, "ACAD");
  out.integer(70, 0);
  out.text(0, "ENDTAB");

  out.text(0, "TABLE");
  out.text(2, "DIMSTYLE");
  out.integer(70, 0);
  out.text(0, "ENDTAB");
  out.text(0, "ENDSEC");
}

void DxfWriter::finish() {
  if (finished_) {
    return;
  }
  try {
    files::StagedFile staged(file_);
    {
      GroupWriter out(staged.stream());
      writeHeader(out);
      writeTables(out);
      writeBlocks(out);
      out.text(0, "SECTION");
      out.text(2, "ENTITIES");
    }
    scratch_->copyTo(staged);
    GroupWriter out(staged.stream());
    out.text(0, "ENDSEC");
    out.text(0, "EOF");
    staged.commit();
  } catch (const files::FileWriteError& error) {
    throw DxfError(error.what());
  }
  finished_ = true;
  entityWriter_.reset();
  scratch_.reset();
}

}  // namespace kvm::dxf
