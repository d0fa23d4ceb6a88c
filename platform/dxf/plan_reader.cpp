#include "platform/dxf/plan_reader.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/dxf/name_decoder.h"
#include "platform/dxf/polyline_trace.h"
#include "platform/dxf/record_stream.h"

namespace kvm::dxf {

namespace {

// A plan of a building stays well inside 1000 km of its origin.
constexpr double kMaxCoordinate = 1e9;
constexpr int kMaxNesting = 64;
constexpr std::uint32_t kNoBlock = std::numeric_limits<std::uint32_t>::max();
// Block flags: the block stands for another drawing, which holds its entities.
constexpr int kExternalReference = 4;

// An entity as read: drawn at once in model space, or kept in its block until inserted.
struct Shape {
  enum class Kind : std::uint8_t { Line, Arc, Polyline, Insert, Ignored } kind = Kind::Ignored;
  PlanEntity entity = PlanEntity::Line;
  std::uint32_t layer = 0;
  std::uint64_t position = 0;
  std::string ignoredType;
  Vec3 extrusion{0, 0, 1};
  Vec3 a;  // line start, arc centre, insertion point; a 2D polyline's elevation in z
  Vec3 b;  // line end; insert scale
  double radius = 0;
  double startAngle = 0;  // degrees; also an insert's rotation
  double endAngle = 0;
  bool closed = false;
  bool world = false;     // a 3D polyline: vertices in world coordinates, no bulges
  bool streamed = false;  // a light polyline whose vertices are read from the file as drawn
  VertexList vertices;
  std::uint32_t block = kNoBlock;
  int columns = 1;
  int rows = 1;
  double columnSpacing = 0;
  double rowSpacing = 0;
};

struct Block {
  std::string name;
  bool defined = false;
  Vec3 base;
  std::vector<Shape> shapes;
  std::uint64_t expansion = 0;
  std::uint64_t expansionFrom = 0;  // the definitions' generation the expansion was worked out in
  bool visiting = false;
  std::string externalFile;  // an external reference's drawing; empty for a block of this one
  bool externalListed = false;
};

// Why an entity is left out, none when it was taken. Returned, not thrown: a block nested
// deep may repeat one unusable entity ten million times, and a throw for each took minutes.
using Skip = std::optional<std::string_view>;

bool usable(const Vec3& p) {
  return std::abs(p.x) <= kMaxCoordinate && std::abs(p.y) <= kMaxCoordinate &&
         std::abs(p.z) <= kMaxCoordinate;
}

bool usable(const FlashingLine& line) {
  return usable(line.start) && usable(line.end) && line.length <= 2 * kMaxCoordinate;
}

constexpr std::string_view kFarAway = "a coordinate that is not a number or lies beyond 1000 km";

// A 16-bit value (flags, counts) as an integer; an ASCII file may write anything there, so
// what is no 16-bit number counts as `fallback`.
int smallInteger(double value, int fallback) {
  return (value >= -32768 && value <= 32767) ? static_cast<int>(value) : fallback;
}

std::string withThousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

class PlanReader {
 public:
  PlanReader(GroupReader& groups, const PlanOptions& options, FlashingLineSink* sink)
      : groups_(groups), records_(groups), options_(options), sink_(sink) {
    takeoff_.file = groups.sourceName();
    takeoff_.binary = groups.binary();
    takeoff_.version = "AC1009";
    takeoff_.units = "mm";
  }

  PlanTakeoff read() {
    bool ended = false;
    std::optional<std::uint64_t> lastSectionEnd;  // the last record ended a section here
    while (!ended && records_.next(record_, section_ == "ENTITIES")) {
      const std::string_view type = record_.type();
      lastSectionEnd.reset();
      if (type == "SECTION") {
        section_ = record_.text(2);
        if (section_ == "HEADER") {
          readHeader();
        }
      } else if (type == "ENDSEC") {
        finishSequence();
        if (section_ == "BLOCKS") {
          blocksRead_ = true;
          drawDeferred();
        }
        section_.clear();
        lastSectionEnd = record_.position();
      } else if (type == "EOF") {
        ended = true;
      } else if (section_ == "TABLES") {
        if (type == "LAYER") {
          readLayerEntry();
        }
      } else if (section_ == "BLOCKS") {
        readBlockRecord(type);
      } else if (section_ == "ENTITIES") {
        readEntity(type, kNoBlock);
      }
    }
    // Some programs stop after the last section; a file cut inside one stays refused.
    if (!ended && lastSectionEnd) {
      takeoff_.warnings.push_back(
          {"", groups_.describe(*lastSectionEnd),
           "the file ends after this section without its end-of-file marker (0 EOF); read as it "
           "is"});
      ended = true;
    }
    if (!ended) {
      throw PlanError(groups_.sourceName() + ": " + groups_.where() +
                      ": the file ends before its end-of-file marker (0 EOF): it is cut short");
    }
    drawDeferred();
    return std::move(takeoff_);
  }

 private:
  [[noreturn]] void fail(std::uint64_t position, const std::string& problem) const {
    throw PlanError(groups_.sourceName() + ": " + groups_.describe(position) + ": " + problem);
  }

  // Where the drawing itself depends on a number (its units, a layer's state, a block's base
  // point), one that is no number refuses the drawing.
  void requireReadable() const {
    if (const Record::Field* field = record_.unreadable()) {
      fail(field->position, record_.unreadableProblem());
    }
  }

  void readHeader() {
    std::string_view variable;
    std::optional<std::string> units;
    for (const Record::Field& field : record_.fields()) {
      if (field.code == 9) {
        variable = record_.text(field);
      } else if (variable == "$ACADVER" && field.code == 1) {
        takeoff_.version = std::string(record_.text(field));
      } else if (variable == "$DWGCODEPAGE" && field.code == 3) {
        takeoff_.codepage = std::string(record_.text(field));
      } else if (variable == "$INSUNITS" && field.code == 70) {
        const double code = record_.number(field);
        requireReadable();
        units = unitsName(code);
        if (!units && options_.units.empty()) {
          fail(field.position, "the drawing's units ($INSUNITS " +
                                   std::to_string(smallInteger(code, -1)) +
                                   ") are not millimetres, centimetres, metres, inches or "
                                   "feet: give the plan's units with --units");
        }
      }
    }
    if (takeoff_.version >= "AC1021") {
      names_.useUtf8();
    } else if (!takeoff_.codepage.empty()) {
      names_.useCodePage(takeoff_.codepage);
    }
    if (units) {
      takeoff_.units = *units;
    }
  }

  static std::optional<std::string> unitsName(double code) {
    switch (smallInteger(code, -1)) {
      case 0:
      case 4: return "mm";
      case 1: return "in";
      case 2: return "ft";
      case 5: return "cm";
      case 6: return "m";
      default: return std::nullopt;
    }
  }

  void startEntities() {
    if (!options_.units.empty()) {
      takeoff_.units = options_.units;
    }
    const double scale = millimetresPer(takeoff_.units).value_or(1.0);
    world_ = Transform::scaling(scale, scale, scale);
    unitsSet_ = true;
  }

  std::uint32_t layerIndex(std::string_view bytes, std::uint64_t position) {
    if (bytes.empty()) {
      bytes = "0";
    }
    if (lastLayer_ != kNoBlock && bytes == lastLayerBytes_) {
      return lastLayer_;
    }
    const std::optional<std::string> name = names_.decode(bytes);
    if (!name) {
      fail(position, "a layer name that is no text of the code page " +
                         (takeoff_.version >= "AC1021" ? std::string("UTF-8") : takeoff_.codepage) +
                         " (a broken multibyte sequence)");
    }
    const std::string key = foldedName(*name);
    auto found = layers_.find(key);
    if (found == layers_.end()) {
      found = layers_.emplace(key, static_cast<std::uint32_t>(takeoff_.layers.size())).first;
      LayerTakeoff layer;
      layer.name = *name;
      takeoff_.layers.push_back(std::move(layer));
      if (sink_ != nullptr) {
        sink_->layerFound(found->second, *name);
      }
    }
    lastLayerBytes_.assign(bytes);
    lastLayer_ = found->second;
    return found->second;
  }

  void readLayerEntry() {
    const std::uint32_t layer = layerIndex(record_.text(2), record_.position());
    LayerTakeoff& entry = takeoff_.layers.at(layer);
    entry.frozen = (smallInteger(record_.number(70, 0), 0) & 1) != 0;
    entry.off = record_.number(62, 7) < 0;
    requireReadable();
  }

  std::uint32_t blockIndex(std::string_view bytes, std::uint64_t position) {
    const std::optional<std::string> name = names_.decode(bytes);
    if (!name) {
      fail(position, "a block name that is no text of the drawing's code page");
    }
    const std::string key = foldedName(*name);
    auto found = blockIndex_.find(key);
    if (found == blockIndex_.end()) {
      found = blockIndex_.emplace(key, static_cast<std::uint32_t>(blocks_.size())).first;
      Block block;
      block.name = *name;
      blocks_.push_back(std::move(block));
    }
    return found->second;
  }

  void readBlockRecord(std::string_view type) {
    if (type == "BLOCK") {
      finishSequence();
      const std::uint32_t index = blockIndex(record_.text(2), record_.position());
      Block& block = blocks_.at(index);
      block.defined = true;
      block.shapes.clear();
      definitionsChanged();
      block.base = {record_.number(10, 0), record_.number(20, 0), record_.number(30, 0)};
      block.externalFile.clear();
      if ((smallInteger(record_.number(70, 0), 0) & kExternalReference) != 0) {
        const std::optional<std::string> file = names_.decode(record_.text(1));
        block.externalFile = file && !file->empty() ? *file : block.name;
      }
      requireReadable();
      currentBlock_ = index;
    } else if (type == "ENDBLK") {
      finishSequence();
      currentBlock_ = kNoBlock;
    } else if (currentBlock_ != kNoBlock) {
      readEntity(type, currentBlock_);
    }
  }

  // Entities come whole in one record, except a POLYLINE (VERTEX records to SEQEND) and an
  // INSERT with attributes (ATTRIB records to SEQEND).
  void readEntity(std::string_view type, std::uint32_t block) {
    if (!unitsSet_) {
      startEntities();
    }
    if (inPolyline_) {
      if (type == "VERTEX") {
        addVertex();
        return;
      }
      finishSequence();
      if (type == "SEQEND") {
        return;
      }
    }
    if (inAttributes_) {
      if (type == "ATTRIB") {
        return;
      }
      inAttributes_ = false;
    }
    if (type == "SEQEND") {
      return;  // the end of a sequence, or a stray one that ends nothing
    }
    target_ = block;
    Shape& shape = shape_;
    shape.position = record_.position();
    shape.layer = layerIndex(record_.text(8, "0"), record_.position());
    shape.extrusion = {record_.number(210, 0), record_.number(220, 0), record_.number(230, 1)};
    shape.vertices.clear();
    shape.streamed = false;
    const bool paper = block == kNoBlock && record_.number(67, 0) != 0;
    if (type == "LINE") {
      shape.kind = Shape::Kind::Line;
      shape.entity = PlanEntity::Line;
      shape.a = {record_.number(10, 0), record_.number(20, 0), record_.number(30, 0)};
      shape.b = {record_.number(11, 0), record_.number(21, 0), record_.number(31, 0)};
    } else if (type == "ARC") {
      shape.kind = Shape::Kind::Arc;
      shape.entity = PlanEntity::Arc;
      shape.a = {record_.number(10, 0), record_.number(20, 0), record_.number(30, 0)};
      shape.radius = record_.number(40, 0);
      shape.startAngle = record_.number(50, 0);
      shape.endAngle = record_.number(51, 360);
    } else if (type == "LWPOLYLINE") {
      readLightPolyline(shape);
    } else if (type == "POLYLINE") {
      const int flags = smallInteger(record_.number(70, 0), 0);
      shape.kind = (flags & (16 | 64)) != 0 ? Shape::Kind::Ignored : Shape::Kind::Polyline;
      shape.ignoredType = "POLYLINE (mesh)";
      shape.entity = PlanEntity::Polyline;
      shape.closed = (flags & 1) != 0;
      shape.world = (flags & 8) != 0;
      shape.a = {0, 0, record_.number(30, 0)};
      inPolyline_ = true;
      polylinePaper_ = paper;
      polylineProblem_.clear();
      notePolylineProblem();
      return;  // finished at its SEQEND
    } else if (type == "INSERT") {
      shape.kind = Shape::Kind::Insert;
      shape.entity = PlanEntity::Insert;
      shape.block = blockIndex(record_.text(2), record_.position());
      shape.a = {record_.number(10, 0), record_.number(20, 0), record_.number(30, 0)};
      shape.b = {record_.number(41, 1), record_.number(42, 1), record_.number(43, 1)};
      shape.startAngle = record_.number(50, 0);
      shape.columns = std::max(1, smallInteger(record_.number(70, 1), 1));
      shape.rows = std::max(1, smallInteger(record_.number(71, 1), 1));
      shape.columnSpacing = record_.number(44, 0);
      shape.rowSpacing = record_.number(45, 0);
      inAttributes_ = record_.number(66, 0) != 0;
    } else {
      shape.kind = Shape::Kind::Ignored;
      shape.ignoredType = std::string(type);
    }
    // An entity that is taken, with a number that is none, is left out like one whose number
    // is NaN; an ignored one is counted whatever its numbers hold.
    if (shape.kind != Shape::Kind::Ignored && record_.unreadable() != nullptr) {
      skipped(record_.position(), [this] { return record_.unreadableProblem(); });
      return;
    }
    place(shape, paper);
  }

  // The first unreadable number of a polyline's records, which leaves the polyline out.
  void notePolylineProblem() {
    if (polylineProblem_.empty() && record_.unreadable() != nullptr) {
      polylineProblem_ = record_.unreadableProblem();
    }
  }

  void readLightPolyline(Shape& shape) {
    shape.kind = Shape::Kind::Polyline;
    shape.entity = PlanEntity::LwPolyline;
    shape.closed = (smallInteger(record_.number(70, 0), 0) & 1) != 0;
    shape.world = false;
    shape.a = {0, 0, record_.number(38, 0)};
    if (record_.vertices()) {
      shape.streamed = true;  // drawn from the file, vertex by vertex
      return;
    }
    LightVertices vertices(shape.a.z);
    for (const Record::Field& field : record_.fields()) {
      if (const std::optional<PolylineVertex> done =
              vertices.take(field.code, [&] { return record_.number(field); })) {
        shape.vertices.add(*done, false);
      }
    }
    if (const std::optional<PolylineVertex> last = vertices.last()) {
      shape.vertices.add(*last, false);
    }
  }

  // Builds the vertices of a light polyline from its groups: a vertex is whole once the next
  // one starts, or the groups end.
  class LightVertices {
   public:
    explicit LightVertices(double elevation) : elevation_(elevation) {}

    template <typename Value>
    std::optional<PolylineVertex> take(int code, const Value& value) {
      std::optional<PolylineVertex> done;
      if (code == 10) {
        done = pending_;
        pending_ = PolylineVertex{{value(), 0, elevation_}, 0};
      } else if (code == 20 && pending_) {
        pending_->point.y = value();
      } else if (code == 42 && pending_) {
        pending_->bulge = value();
      }
      return done;
    }
    [[nodiscard]] const std::optional<PolylineVertex>& last() const { return pending_; }

   private:
    double elevation_;
    std::optional<PolylineVertex> pending_;
  };

  void addVertex() {
    const int flags = smallInteger(record_.number(70, 0), 0);
    if ((flags & 16) != 0) {
      return;  // a spline's frame point, not on the line
    }
    const double z = shape_.world ? record_.number(30, 0) : shape_.a.z;
    shape_.vertices.add({{record_.number(10, 0), record_.number(20, 0), z}, record_.number(42, 0)},
                        shape_.world);
    notePolylineProblem();
  }

  void finishSequence() {
    inAttributes_ = false;
    if (!inPolyline_) {
      return;
    }
    inPolyline_ = false;
    if (!polylineProblem_.empty() && shape_.kind != Shape::Kind::Ignored) {
      skipped(shape_.position, [this] { return polylineProblem_; });
      return;
    }
    place(shape_, polylinePaper_);
  }

  // Keeps the shape in its block, or draws it in model space. A reference met before the
  // blocks (some programs write them after the entities) waits for them.
  void place(const Shape& shape, bool paper) {
    if (target_ != kNoBlock) {
      blocks_.at(target_).shapes.push_back(shape);
      definitionsChanged();
      return;
    }
    if (paper) {
      ++takeoff_.paperSpace;
      return;
    }
    if (shape.kind == Shape::Kind::Insert && !blocksRead_) {
      deferred_.push_back(shape);
      return;
    }
    drawModel(shape);
  }

  void drawModel(const Shape& shape) {
    if (const Skip skip = draw(shape, world_, shape.layer, 0)) {
      skipped(shape.position, [&] { return std::string(*skip); });
    }
  }

  void drawDeferred() {
    std::vector<Shape> waiting;
    waiting.swap(deferred_);
    for (const Shape& shape : waiting) {
      drawModel(shape);
    }
  }

  // Counts a skipped entity; the reason is only written out while the list has room.
  template <typename Problem>
  void skipped(std::uint64_t position, const Problem& problem) {
    ++takeoff_.skippedCount;
    if (takeoff_.skipped.size() < kMaxSkippedListed) {
      takeoff_.skipped.push_back({groups_.describe(position), problem()});
    }
  }

  // A reason made of parts, kept until the caller has read it.
  Skip because(std::string problem) {
    problem_ = std::move(problem);
    return problem_;
  }

  Skip draw(const Shape& shape, const Transform& map, std::uint32_t layer, int depth) {
    Skip skip;
    switch (shape.kind) {
      case Shape::Kind::Ignored: ++takeoff_.ignored[shape.ignoredType]; return {};
      case Shape::Kind::Line: skip = drawLine(shape, map, layer); break;
      case Shape::Kind::Arc: skip = drawArc(shape, map, layer); break;
      case Shape::Kind::Polyline: skip = drawPolyline(shape, map, layer); break;
      case Shape::Kind::Insert: skip = drawInsert(shape, map, layer, depth); break;
    }
    if (!skip) {
      ++takeoff_.layers.at(layer).entities.at(static_cast<std::size_t>(shape.entity));
    }
    return skip;
  }

  Skip drawLine(const Shape& shape, const Transform& map, std::uint32_t layer) {
    segments_.clear();
    straight(map.apply(shape.a), map.apply(shape.b));
    return emit(layer);
  }

  Skip drawArc(const Shape& shape, const Transform& map, std::uint32_t layer) {
    const Transform object = Transform::fromObjectSystem(shape.extrusion);
    segments_.clear();
    if (shape.radius == 0) {
      // A point, as a drawing holds it after an arc is shrunk away: a segment of no length.
      const Vec3 centre = map.after(object).apply(shape.a);
      straight(centre, centre);
      return emit(layer);
    }
    if (!(shape.radius > 0) || !std::isfinite(shape.radius)) {
      return "an arc whose radius is not a positive number";
    }
    double span = std::fmod(shape.endAngle - shape.startAngle, 360.0);
    if (!std::isfinite(span)) {
      return "an arc whose angles are not numbers";
    }
    if (span <= 0) {
      span += 360.0;
    }
    curved(map.after(object), shape.a, shape.radius, radians(shape.startAngle), radians(span));
    return emit(layer);
  }

  // The segments are all checked before any is taken: a polyline with one unusable value
  // is left out whole, and none of its segments has to be kept meanwhile.
  Skip drawPolyline(const Shape& shape, const Transform& map, std::uint32_t layer) {
    const Transform placed =
        shape.world ? map : map.after(Transform::fromObjectSystem(shape.extrusion));
    for (const bool taking : {false, true}) {
      PolylineTrace trace(placed, shape.world, shape.closed);
      if (const Skip skip = shape.streamed ? traceFromFile(shape, trace, layer, taking)
                                           : traceStored(shape, trace, layer, taking)) {
        return skip;
      }
      std::optional<FlashingLine> segment;
      if (const Skip skip = traced(trace.finish(segment), segment, layer, taking)) {
        return skip;
      }
    }
    return {};
  }

  Skip traceStored(const Shape& shape, PolylineTrace& trace, std::uint32_t layer, bool taking) {
    std::optional<FlashingLine> segment;
    for (std::size_t i = 0; i < shape.vertices.size(); ++i) {
      if (const Skip skip =
              traced(trace.add(shape.vertices.at(i, shape.a.z), segment), segment, layer, taking)) {
        return skip;
      }
    }
    return {};
  }

  // The vertices of the light polyline just read, from the file.
  Skip traceFromFile(const Shape& shape, PolylineTrace& trace, std::uint32_t layer, bool taking) {
    LightVertices vertices(shape.a.z);
    std::optional<FlashingLine> segment;
    Skip skip;
    records_.readVertices(record_, [&](int code, const GroupReader& groups) {
      if (skip) {
        return;  // read on to the record's end all the same
      }
      bool number = true;
      const auto value = [&] {
        const std::optional<double> read = groups.binary() ? std::optional<double>(groups.number())
                                                           : parseGroupNumber(groups.text());
        number = read.has_value();
        return read.value_or(0.0);
      };
      const std::optional<PolylineVertex> done = vertices.take(code, value);
      if (!number) {
        skip = because("the value of group code " + std::to_string(code) +
                       " is not a number: " + quotedValue(groups.text()));
      } else if (done) {
        skip = traced(trace.add(*done, segment), segment, layer, taking);
      }
    });
    if (skip) {
      return skip;
    }
    if (const std::optional<PolylineVertex> last = vertices.last()) {
      return traced(trace.add(*last, segment), segment, layer, taking);
    }
    return {};
  }

  Skip traced(std::string_view problem, const std::optional<FlashingLine>& segment,
              std::uint32_t layer, bool taking) {
    if (!problem.empty()) {
      return problem;
    }
    if (!segment) {
      return {};
    }
    if (!usable(*segment)) {
      return kFarAway;
    }
    if (taking) {
      take(layer, *segment);
    }
    return {};
  }

  // A block defined again, or one that gains an entity, after a reference was drawn (a second
  // BLOCKS section) changes what every block containing it unfolds to.
  void definitionsChanged() { ++definitions_; }

  std::uint64_t expansion(std::uint32_t index, std::uint64_t position, int depth) {
    Block& block = blocks_.at(index);
    if (block.expansionFrom == definitions_) {
      return block.expansion;
    }
    if (block.visiting) {
      fail(position, "block \"" + block.name + "\" inserts itself, directly or through others");
    }
    if (depth > kMaxNesting) {
      fail(position, "blocks nested more than " + std::to_string(kMaxNesting) + " deep");
    }
    block.visiting = true;
    std::uint64_t total = 1;
    for (const Shape& shape : blocks_.at(index).shapes) {
      if (shape.kind == Shape::Kind::Insert) {
        const std::uint64_t inner = expansion(shape.block, position, depth + 1);
        const auto copies =
            static_cast<std::uint64_t>(shape.columns) * static_cast<std::uint64_t>(shape.rows);
        total += std::min(options_.maxExpansion + 1, copies * inner);
      } else {
        total += std::max<std::uint64_t>(1, shape.vertices.size());
      }
      total = std::min(total, options_.maxExpansion + 1);
    }
    Block& done = blocks_.at(index);
    done.visiting = false;
    done.expansion = total;
    done.expansionFrom = definitions_;
    return total;
  }

  Skip drawInsert(const Shape& shape, const Transform& map, std::uint32_t layer, int depth) {
    // The nesting check of the expansion starts from each block once and remembers it, so a
    // long chain of blocks met from its far end first passes it: bound the drawing itself.
    if (depth >= kMaxNesting) {
      return because("blocks nested more than " + std::to_string(kMaxNesting) + " deep");
    }
    Block& block = blocks_.at(shape.block);
    if (!block.defined) {
      return because("a reference to block \"" + block.name + "\", which the plan does not define");
    }
    if (!block.externalFile.empty() && !block.externalListed) {
      block.externalListed = true;
      takeoff_.warnings.push_back({takeoff_.layers.at(layer).name, groups_.describe(shape.position),
                                   "an external reference to \"" + block.externalFile +
                                       "\", whose lines are not in this plan"});
    }
    const auto copies =
        static_cast<std::uint64_t>(shape.columns) * static_cast<std::uint64_t>(shape.rows);
    const std::uint64_t unfolded =
        depth == 0 ? copies * expansion(shape.block, shape.position, 0) : 0;
    if (unfolded > options_.maxExpansion) {
      return because("a block reference that expands to more than " +
                     withThousands(options_.maxExpansion) + " entities");
    }
    for (const double value : {shape.a.x, shape.a.y, shape.a.z, shape.b.x, shape.b.y, shape.b.z,
                               shape.startAngle, shape.columnSpacing, shape.rowSpacing}) {
      if (!std::isfinite(value) || std::abs(value) > kMaxCoordinate) {
        return "a block reference with a value that is not a usable number";
      }
    }
    if (unfolded > options_.maxExpansion - unfolded_) {
      return because("a block reference past the " + withThousands(options_.maxExpansion) +
                     " entities the blocks of a plan may expand to");
    }
    unfolded_ += unfolded;
    const Transform object = Transform::fromObjectSystem(shape.extrusion);
    const Transform rotation = Transform::rotationZ(shape.startAngle);
    const Transform scaled = rotation.after(Transform::scaling(shape.b.x, shape.b.y, shape.b.z))
                                 .after(Transform::translation(-1.0 * block.base));
    for (int row = 0; row < shape.rows; ++row) {
      for (int column = 0; column < shape.columns; ++column) {
        const Vec3 cell =
            rotation.applyLinear({column * shape.columnSpacing, row * shape.rowSpacing, 0});
        const Transform placed =
            map.after(object).after(Transform::translation(shape.a + cell)).after(scaled);
        const std::size_t shapes = blocks_.at(shape.block).shapes.size();
        for (std::size_t i = 0; i < shapes; ++i) {
          const Shape& inner = blocks_.at(shape.block).shapes[i];
          const std::uint32_t innerLayer = inner.layer == layerZero() ? layer : inner.layer;
          if (const Skip skip = draw(inner, placed, innerLayer, depth + 1)) {
            skipped(inner.position, [&] {
              return "in block \"" + blocks_.at(shape.block).name + "\": " + std::string(*skip);
            });
          }
        }
      }
    }
    return {};
  }

  std::uint32_t layerZero() {
    if (layerZero_ == kNoBlock) {
      layerZero_ = layerIndex("0", 0);
    }
    return layerZero_;
  }

  void straight(const Vec3& start, const Vec3& end) {
    segments_.push_back(straightLine(start, end));
  }

  void curved(const Transform& map, const Vec3& centre, double radius, double start, double span) {
    segments_.push_back(arcLine(map, centre, radius, start, span));
  }

  // Hands the entity's segments on, or none of them where one is not usable.
  Skip emit(std::uint32_t layer) {
    for (const FlashingLine& line : segments_) {
      if (!usable(line)) {
        return kFarAway;
      }
    }
    for (const FlashingLine& line : segments_) {
      take(layer, line);
    }
    return {};
  }

  void take(std::uint32_t layer, const FlashingLine& line) {
    LayerTakeoff& entry = takeoff_.layers.at(layer);
    if (line.length <= 1e-9) {
      ++entry.zeroLength;
      return;
    }
    ++entry.lines;
    entry.length += line.length;
    if (sink_ != nullptr) {
      sink_->add(layer, line);
    }
  }

  GroupReader& groups_;
  RecordStream records_;
  const PlanOptions& options_;
  FlashingLineSink* sink_;
  PlanTakeoff takeoff_;
  NameDecoder names_;
  Record record_;
  std::string section_;
  bool unitsSet_ = false;
  Transform world_ = Transform::identity();

  std::unordered_map<std::string, std::uint32_t> layers_;
  std::string lastLayerBytes_;
  std::uint32_t lastLayer_ = kNoBlock;
  std::uint32_t layerZero_ = kNoBlock;

  std::vector<Block> blocks_;
  std::unordered_map<std::string, std::uint32_t> blockIndex_;
  std::uint32_t currentBlock_ = kNoBlock;
  std::string problem_;
  std::uint64_t unfolded_ = 0;  // entities the plan's block references expand to so far
  bool blocksRead_ = false;
  std::uint64_t definitions_ = 1;  // a block's expansion worked out in generation 0 is none
  std::vector<Shape> deferred_;    // model-space references met before the blocks

  Shape shape_;
  std::uint32_t target_ = kNoBlock;  // the block being read; kNoBlock: model space
  bool inPolyline_ = false;
  bool polylinePaper_ = false;
  std::string polylineProblem_;  // empty: all its numbers read
  bool inAttributes_ = false;
  std::vector<FlashingLine> segments_;
};

}  // namespace

std::optional<double> millimetresPer(std::string_view units) {
  if (units == "mm") return 1.0;
  if (units == "cm") return 10.0;
  if (units == "m") return 1000.0;
  if (units == "in") return 25.4;
  if (units == "ft") return 304.8;
  return std::nullopt;
}

PlanTakeoff readPlan(GroupReader& groups, const PlanOptions& options, FlashingLineSink* sink) {
  return PlanReader(groups, options, sink).read();
}

PlanTakeoff readPlan(const std::filesystem::path& file, const PlanOptions& options,
                     FlashingLineSink* sink) {
  GroupReader groups(file);
  return readPlan(groups, options, sink);
}

}  // namespace kvm::dxf
