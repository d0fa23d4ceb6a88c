#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/dxf/dxf_writer.h"
#include "platform/sim/host/drawing_sink.h"

namespace kvm::workshop {

// Takes the drawing as the model space hands it out and writes it as a DXF file; optionally
// also the texts as the "modelspace" dump shows them, one JSON array.
class DrawingExport final : public sim::DrawingSink {
 public:
  DrawingExport(const std::filesystem::path& dxfFile,
                const std::optional<std::filesystem::path>& modelSpaceDump);

  void text(const nlohmann::json& text) override;
  void line(const sim::LineData& line) override;
  void polyline(const sim::PolylineData& polyline) override;

  void finish();

  [[nodiscard]] std::size_t entityCount() const { return dxf_.entityCount(); }

 private:
  dxf::DxfWriter dxf_;
  std::ofstream dump_;
  std::filesystem::path dumpFile_;
  bool firstText_ = true;
};

// The layers and text styles of a bill drawing.
dxf::Tables billDrawingTables();

}  // namespace kvm::workshop
