#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dxf/group_reader.h"
#include "platform/dxf/plan_geometry.h"

namespace kvm::dxf {

// The entities that hold flashing lines, as the take-off counts them per layer.
enum class PlanEntity : std::uint8_t { Line, LwPolyline, Polyline, Arc, Insert };
inline constexpr std::array<std::string_view, 5> kPlanEntityNames{"LINE", "LWPOLYLINE", "POLYLINE",
                                                                  "ARC", "INSERT"};

// The component keeps at most this many lines per flashing.
inline constexpr std::size_t kMaxLinesOfOneFlashing = 8192;

struct LayerTakeoff {
  std::string name;  // UTF-8, as the plan spells it
  bool frozen = false;
  bool off = false;
  std::array<std::size_t, kPlanEntityNames.size()> entities{};
  std::size_t lines = 0;       // flashing lines
  std::size_t zeroLength = 0;  // segments of no length, which are no flashing lines
  double length = 0;           // millimetres
};

struct SkippedEntity {
  std::string at;  // "line 120" or "byte 5512"
  std::string problem;
};

// Something the reader accepted although the drawing is not quite as it should be.
struct PlanWarning {
  std::string layer;  // empty where the note concerns the whole drawing
  std::string at;
  std::string problem;
};

// What a plan holds, as `kavelmor takeoff` reports it.
struct PlanTakeoff {
  std::string file;
  std::string version;   // $ACADVER, e.g. "AC1015"
  std::string codepage;  // $DWGCODEPAGE as written
  std::string units;     // the units read or given: mm, cm, m, in, ft
  bool binary = false;
  std::vector<LayerTakeoff> layers;  // the layer table's order, then layers only entities name
  std::map<std::string, std::size_t> ignored;  // entity types that hold no flashing lines
  std::size_t paperSpace = 0;                  // entities of paper space, not taken
  std::vector<SkippedEntity> skipped;          // the first kMaxSkippedListed
  std::size_t skippedCount = 0;
  std::vector<PlanWarning> warnings;
};

inline constexpr std::size_t kMaxSkippedListed = 100;

// One flashing line in world coordinates, millimetres; `length` is its length along the
// entity (an arc's arc length).
struct FlashingLine {
  Vec3 start;
  Vec3 end;
  double length = 0;
};

// Receives the flashing lines as the reader finds them; `layer` indexes PlanTakeoff::layers.
class FlashingLineSink {
 public:
  virtual ~FlashingLineSink() = default;
  virtual void add(std::size_t layer, const FlashingLine& line) = 0;
  // A layer met for the first time, in the table or on an entity.
  virtual void layerFound(std::size_t /*layer*/, const std::string& /*name*/) {}
};

struct PlanOptions {
  std::string units;  // empty: the drawing's $INSUNITS; else mm, cm, m, in or ft
  // What the block references of one plan may unfold to, in entities and polyline vertices:
  // a small file of nested arrays must not keep the reader busy for hours.
  std::uint64_t maxExpansion = 10'000'000;
};

// Millimetres per unit for "mm", "cm", "m", "in", "ft"; nothing for any other name.
std::optional<double> millimetresPer(std::string_view units);

// Reads the model space of a plan through, handing every flashing line to the sink (which
// may be null). Throws PlanError, one line naming the file, the place and the problem, for a
// drawing that cannot be read; a damaged entity in a usable drawing is skipped and listed.
PlanTakeoff readPlan(GroupReader& groups, const PlanOptions& options, FlashingLineSink* sink);
PlanTakeoff readPlan(const std::filesystem::path& file, const PlanOptions& options,
                     FlashingLineSink* sink);

}  // namespace kvm::dxf
