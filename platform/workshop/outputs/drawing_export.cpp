#include "platform/workshop/outputs/drawing_export.h"

#include "base/text.h"
#include "platform/workshop/job/bill_drawing_names.h"
#include "platform/workshop/outputs/write_failure.h"

namespace kvm::workshop {

namespace {

dxf::Point pointOf(const nlohmann::json& xyz) {
  return {xyz.at(0).get<double>(), xyz.at(1).get<double>(), xyz.at(2).get<double>()};
}

std::u16string textOf(const nlohmann::json& value) {
  return fromUtf8(value.get<std::string>());
}

}  // namespace

dxf::Tables billDrawingTables() {
  return {{{u"0", 7},
           {std::u16string(kBillLayer), 7},
           {std::u16string(kSketchLayer), 3},
           {std::u16string(kFlashingLineLayer), 7}},
          // 宋体 is on every Chinese system; programs without it substitute their own font.
          {{u"Standard", "txt", ""}, {std::u16string(kBillTextStyle), "simsun.ttc", ""}}};
}

DrawingExport::DrawingExport(const std::filesystem::path& dxfFile,
                             const std::optional<std::filesystem::path>& modelSpaceDump)
    : dxf_(dxfFile, billDrawingTables()) {
  if (modelSpaceDump) {
    dumpFile_ = *modelSpaceDump;
    dump_.open(*modelSpaceDump, std::ios::binary | std::ios::trunc);
    if (!dump_) {
      throwWriteFailure(*modelSpaceDump);
    }
    dump_ << "[";
  }
}

void DrawingExport::text(const nlohmann::json& text) {
  dxf::Text entity;
  entity.text = textOf(text.at("text"));
  entity.insertion = pointOf(text.at("insertion"));
  entity.alignmentPoint = pointOf(text.at("alignmentPoint"));
  entity.alignment = text.at("alignment").get<int32_t>();
  entity.height = text.at("height").get<double>();
  entity.widthFactor = text.at("scaleFactor").get<double>();
  entity.style = textOf(text.at("style"));
  entity.layer = textOf(text.at("layer"));
  entity.color = text.at("color").get<int32_t>();
  entity.linetype = textOf(text.at("linetype"));
  dxf_.add(entity);
  if (dump_.is_open()) {
    dump_ << (firstText_ ? "\n" : ",\n")
          << text.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    firstText_ = false;
  }
}

void DrawingExport::line(const sim::LineData& line) {
  dxf_.add(dxf::Line{{line.start.x, line.start.y, line.start.z},
                     {line.end.x, line.end.y, line.end.z},
                     line.layer,
                     line.color});
}

void DrawingExport::polyline(const sim::PolylineData& polyline) {
  dxf::Polyline entity;
  entity.vertices.reserve(polyline.vertices.size());
  for (const sim::Vertex2& vertex : polyline.vertices) {
    entity.vertices.push_back({vertex.x, vertex.y, 0});
  }
  entity.closed = polyline.closed;
  entity.layer = polyline.layer;
  entity.color = polyline.color;
  dxf_.add(entity);
}

void DrawingExport::finish() {
  dxf_.finish();
  if (dump_.is_open()) {
    dump_ << "\n]\n";
    dump_.close();
    if (!dump_) {
      throwWriteFailure(dumpFile_);
    }
  }
}

}  // namespace kvm::workshop
