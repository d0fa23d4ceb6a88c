#include "platform/workshop/job/bill_job.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "base/numbers.h"
#include "base/runtime_error.h"
#include "base/text.h"
#include "platform/sim/session/host_session.h"
#include "platform/workshop/job/bill_block_texts.h"
#include "platform/workshop/job/bill_drawing_names.h"
#include "platform/workshop/job/bill_matching.h"
#include "platform/workshop/job/bill_request.h"
#include "platform/workshop/job/flashing_line_colours.h"
#include "platform/workshop/job/profile_sketch.h"
#include "platform/workshop/job/row_checks.h"
#include "platform/workshop/project/current_use_rows.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"

namespace kvm::workshop {

namespace {

// Where the companion puts its own parts of a block, from the block point the component
// gives (which stands 100 right of the block's left edge and 1890 below its top).
constexpr double kBlockLeftFromPoint = 100;
constexpr double kBlockTopFromPoint = 1890;
constexpr double kTitleDrop = 1100;
constexpr double kHeadingDrop = 2470;
constexpr double kRowPitch = 580;
constexpr double kLengthColumn = 1550;
constexpr double kCountColumn = 3550;
constexpr double kInfoColumn = 4115;
// The sketch keeps left of the count rows' first column and between the title and the
// next block.
constexpr double kSketchWidth = 1100;
constexpr double kSketchHeight = 1200;

// Text alignments of the object model.
constexpr int32_t kMiddleLeft = 9;
constexpr int32_t kMiddleCentre = 10;

// The component's block grid: blocks stand in columns of ten, 3480 apart, and a block's count
// rows go down from 3050 below its top, 580 apart, however many there are.
constexpr double kBlockPitch = 3480;
constexpr int32_t kBlocksPerColumn = 10;
constexpr double kFirstRowDrop = 3050;
constexpr int32_t kMaxBlockId = 32767;  // block numbers are Integers

// How many consecutive blocks of the grid a flashing with this many count rows takes, so that
// its last row stays clear of the next block's title (the highest thing in a block). A text is
// taken as reaching a whole text height above and below its middle, whatever the font. Rows
// that run past the foot of a column have nothing below them.
int32_t blocksTaken(std::size_t rows, int32_t id, double textHeight) {
  const double lastRowDrop =
      kFirstRowDrop + kRowPitch * static_cast<double>(rows > 0 ? rows - 1 : 0);
  const double reach = lastRowDrop + 2 * textHeight - kTitleDrop;
  const auto blocks = static_cast<int32_t>(std::floor(reach / kBlockPitch)) + 1;
  return std::clamp(blocks, 1, kBlocksPerColumn - id % kBlocksPerColumn);
}

double number(const std::u16string& text, const char* field) {
  const std::optional<double> value = parseNumber(text);
  if (!value || !std::isfinite(*value)) {
    throw BillRecordError("bill record, header: the " + std::string(field) + " \"" + toUtf8(text) +
                          "\" is not a number");
  }
  return *value;
}

Variant pointVariant(double x, double y) {
  return Variant::doubles({x, y, 0});
}

struct Point2 {
  double x = 0;
  double y = 0;
};

Point2 blockPointOf(const Variant& value, std::size_t block) {
  if (!value.isArray() || value.arrayValue().elements.size() < 2) {
    throw std::runtime_error("the component gave no block point for block " +
                             std::to_string(block));
  }
  return {toDouble(element(value, 0)), toDouble(element(value, 1))};
}

// Lengths of the lines qp1 gives back: four numbers per line.
std::vector<double> lineLengths(const Variant& lines) {
  std::vector<double> lengths;
  if (!lines.isArray()) {
    return lengths;
  }
  const auto& values = lines.arrayValue().elements;
  lengths.reserve(values.size() / 4);
  for (std::size_t i = 0; i + 3 < values.size(); i += 4) {
    lengths.push_back(std::hypot(toDouble(values[i + 2]) - toDouble(values[i]),
                                 toDouble(values[i + 3]) - toDouble(values[i + 1])));
  }
  return lengths;
}

// The bill's grand totals per colour, in the order the colours first appear.
struct BillTotals {
  struct Colour {
    std::u16string name;
    double cutLength = 0;  // mm
    double area = 0;       // m²
  };
  std::vector<Colour> colours;

  void add(const std::u16string& colour, const FlashingResult& result) {
    auto found = std::find_if(colours.begin(), colours.end(),
                              [&colour](const Colour& each) { return each.name == colour; });
    if (found == colours.end()) {
      found = colours.insert(colours.end(), Colour{colour});
    }
    found->cutLength += result.cutLength;
    found->area += result.area;
  }
};

class BillDrawer {
 public:
  BillDrawer(sim::HostSession& session, const BillRecord& bill, sim::DrawingSink& drawing)
      : session_(session),
        drawing_(drawing),
        textHeight_(number(bill.header.textHeight, "text height")),
        classStep_(static_cast<int32_t>(number(bill.header.lengthClassStep, "length class step"))) {
  }

  void drawOutline(const std::vector<PlanLine>& outline) {
    for (const PlanLine& line : outline) {
      addLine(line, u"0", 256);
    }
    session_.drawing().handOver(drawing_);
  }

  FlashingResult drawBlock(std::size_t block, int32_t id, const BillEntry& entry,
                           const ProjectFlashing& flashing) {
    FlashingResult result;
    result.block = block;
    result.id = id;
    result.entry = &entry;
    result.flashing = &flashing;

    const Point2 point =
        blockPointOf(session_.call(u"mzbj0", {id, int32_t{entry.maxCutLength},
                                              int32_t{entry.endExtension}, int32_t{entry.overlap}}),
                     block);
    drawSketch(entry, point);
    const int32_t colour = flashingLineColour(block);
    for (const PlanLine& line : flashing.lines) {
      addLine(line, kFlashingLineLayer, colour);
      session_.call(u"bjxn", {id, pointVariant(line.startX, line.startY),
                              pointVariant(line.endX, line.endY)});
    }
    const std::vector<double> lengths = lineLengths(session_.call(u"qp1", {id}));

    for (const LengthClass& lengthClass :
         groupIntoClasses(lengths, entry.lengthFactor, classStep_)) {
      ClassRow row = splitClass(lengthClass, entry, flashing.mode, id);
      session_.call(u"yfgiu", {row.lengthText, row.countText, id});
      result.cutLength += row.runLength();
      result.rows.push_back(std::move(row));
    }
    planCutting(result, entry, flashing);
    result.area = entry.developedWidth * result.cutLength / 1e6;
    result.areaText = formatFixed(result.area, 2);
    result.lengthText = formatFixed(result.cutLength / 1000, 2);
    session_.call(u"y2fgiu", {result.areaText, result.lengthText, id});

    drawCaptions(entry, flashing, block, point);
    result.blocks = blocksTaken(result.rows.size(), id, textHeight_);
    result.messages = session_.notes().take();
    session_.drawing().handOver(drawing_);
    return result;
  }

  // One line above the bill: the project, the date and the grand totals per colour at the
  // project's thickness, so that the drawing says what it is the bill of.
  void drawHeading(const BillHeader& header, const BillTotals& totals, const Point2& origin) {
    std::u16string text = header.projectName + u"  " + header.date;
    for (const BillTotals::Colour& colour : totals.colours) {
      // "平方米", not "m²": the drawing's code page has no superscript two.
      text += u"  " + colour.name + u" " + header.plateThickness + u"mm: 长 " +
              formatFixed(colour.cutLength / 1000, 2) + u"m 面积 " + formatFixed(colour.area, 2) +
              u"平方米";
    }
    addText(text, {origin.x + kBlockLeftFromPoint, origin.y + textHeight_}, kMiddleLeft);
    session_.drawing().handOver(drawing_);
  }

 private:
  ClassRow splitClass(const LengthClass& lengthClass, const BillEntry& entry, int mode,
                      int32_t id) {
    // Every line of the class is cut to the class length plus the extension at its ends.
    const double cutLength = static_cast<double>(lengthClass.length) + entry.endExtension;
    const Variant lines = Variant::array(
        VarType::Double,
        std::vector<Variant>(static_cast<std::size_t>(lengthClass.lines), Variant(cutLength)));
    const Variant pair = mode == kModeEqualPieces
                             ? session_.call(u"Mode0LZ", {lines, uint8_t{1}, id})
                             : session_.call(u"ModeLZ", {lines, cutLength * lengthClass.lines,
                                                         static_cast<uint8_t>(mode), id});
    ClassRow row;
    row.lengthClass = lengthClass;
    const Variant& length = element(pair, 0);
    const Variant& count = element(pair, 1);
    // The pair of a failed split holds two Integers; a real answer holds Longs and Doubles.
    row.split = !(length.holds<int16_t>() && count.holds<int16_t>());
    row.pieceLength = toLong(length);
    row.pieces = toDouble(count);
    row.lengthText = decimal(row.pieceLength);
    row.countText =
        count.holds<double>() ? generalText(count.get<double>()) : decimal(toLong(count));
    return row;
  }

  // The pieces of each line under the rule its class's count row was worked out by, so that
  // the plan never asks for fewer pieces than the row counts.
  void planCutting(FlashingResult& result, const BillEntry& entry,
                   const ProjectFlashing& flashing) {
    const int64_t maxCut = entry.maxCutLength;
    std::vector<LineToCut> lines;
    std::vector<ClassRow*> rowOfLine;
    std::vector<std::size_t> lineNumbers;  // the plan numbers the lines it is given
    lines.reserve(flashing.lines.size());
    for (std::size_t i = 0; i < flashing.lines.size(); ++i) {
      const PlanLine& line = flashing.lines[i];
      const int64_t length =
          classLength(flashingLength(std::hypot(line.endX - line.startX, line.endY - line.startY),
                                     entry.lengthFactor),
                      classStep_);
      const auto row = std::find_if(
          result.rows.begin(), result.rows.end(),
          [length](const ClassRow& each) { return each.lengthClass.length == length; });
      if (row == result.rows.end() || !row->split) continue;
      const int64_t cut = length + entry.endExtension;
      LineToCut toCut{cut, LineRule::FullLengthPieces, 0, 0};
      if (flashing.mode == kModeEqualPieces) {
        // The component's count is a Double: bound it before it becomes an integer.
        if (!(row->pieces >= 0 && row->pieces <= static_cast<double>(kMostPiecesInBill))) {
          throw std::runtime_error("flashing " + toUtf8(entry.name) + ": " +
                                   toUtf8(row->countText) +
                                   " pieces of one length, more than the " +
                                   std::to_string(kMostPiecesInBill) + " a bill may hold");
        }
        toCut = {cut, LineRule::EqualPieces, row->pieceLength,
                 static_cast<int64_t>(row->pieces) / row->lengthClass.lines};
      } else if (flashing.mode == kModeFullPieces && cut <= maxCut) {
        toCut = {cut, LineRule::EqualPieces, cut, 1};
      } else if (flashing.mode == kModeEconomic && cut * row->lengthClass.lines <= maxCut) {
        toCut.rule = LineRule::OnePieceFromStock;
      }
      lines.push_back(toCut);
      rowOfLine.push_back(&*row);
      lineNumbers.push_back(i);
    }
    CuttingPlan plan;
    try {
      plan = planRow(lines, {maxCut, static_cast<int64_t>(entry.overlap)},
                     kMostPiecesInBill - piecesPlanned_);
    } catch (const std::length_error&) {
      throw std::runtime_error("flashing " + toUtf8(entry.name) + ": its lines need more pieces " +
                               "than the " + std::to_string(kMostPiecesInBill) +
                               " a bill may hold");
    }
    piecesPlanned_ += static_cast<int64_t>(plan.pieces.size());
    for (PlannedPiece& piece : plan.pieces) {
      ++rowOfLine[piece.line]->piecesToCut;
      piece.line = lineNumbers[piece.line];
    }
    result.plan = std::move(plan);
  }

  void drawSketch(const BillEntry& entry, const Point2& point) {
    const std::vector<SketchPoint> sketch =
        fitSketch(profileOutline(entry), {point.x, point.y, kSketchWidth, kSketchHeight});
    if (sketch.empty()) {
      return;
    }
    std::vector<double> coordinates;
    coordinates.reserve(sketch.size() * 2);
    for (const SketchPoint& vertex : sketch) {
      coordinates.push_back(vertex.x);
      coordinates.push_back(vertex.y);
    }
    const auto polyline = requireObject(
        call(session_.modelSpace(), u"AddLightWeightPolyline", {Variant::doubles(coordinates)}));
    put(polyline, u"Layer", std::u16string(kSketchLayer));
  }

  void drawCaptions(const BillEntry& entry, const ProjectFlashing& flashing, std::size_t block,
                    const Point2& point) {
    const double left = point.x - kBlockLeftFromPoint;
    const double top = point.y + kBlockTopFromPoint;
    addText(decimal(static_cast<long long>(block) + 1) + u"  " + entry.name,
            {left + kBlockLeftFromPoint, top - kTitleDrop}, kMiddleLeft);
    addText(std::u16string(kPieceLengthHeading), {left + kLengthColumn, top - kHeadingDrop},
            kMiddleCentre);
    addText(std::u16string(kPieceCountHeading), {left + kCountColumn, top - kHeadingDrop},
            kMiddleCentre);
    addText(std::u16string(kColourCaption) + entry.color + std::u16string(kWidthCaption) +
                decimal(entry.developedWidth) + u"mm",
            {left + kInfoColumn, top - kHeadingDrop}, kMiddleLeft);
    addText(std::u16string(kModeCaption) +
                std::u16string(kModeNames[static_cast<std::size_t>(flashing.mode)]),
            {left + kInfoColumn, top - kHeadingDrop - kRowPitch}, kMiddleLeft);
  }

  // A bill text of the companion's own, dressed like the component's.
  void addText(const std::u16string& text, const Point2& at, int32_t alignment) {
    const auto object = requireObject(
        call(session_.modelSpace(), u"AddText", {text, pointVariant(at.x, at.y), textHeight_}));
    put(object, u"Alignment", alignment);
    put(object, u"TextAlignmentPoint", pointVariant(at.x, at.y));
    put(object, u"StyleName", std::u16string(kBillTextStyle));
    put(object, u"Layer", std::u16string(kBillLayer));
    put(object, u"ScaleFactor", 0.7);
    put(object, u"color", int32_t{7});
  }

  void addLine(const PlanLine& line, std::u16string_view layer, int32_t colour) {
    const auto object = requireObject(
        call(session_.modelSpace(), u"AddLine",
             {pointVariant(line.startX, line.startY), pointVariant(line.endX, line.endY)}));
    put(object, u"Layer", std::u16string(layer));
    put(object, u"color", colour);
  }

  sim::HostSession& session_;
  sim::DrawingSink& drawing_;
  double textHeight_;
  int32_t classStep_;
  int64_t piecesPlanned_ = 0;  // in the bill so far
};

// A line longer than any flashing is refused before the session starts: a wrong unit or a
// stray point would otherwise have the component and the plan cut it into millions of pieces.
void checkLineLengths(const Project& project) {
  for (std::size_t row = 0; row < project.flashings.size(); ++row) {
    const ProjectFlashing& flashing = project.flashings[row];
    for (std::size_t i = 0; i < flashing.lines.size(); ++i) {
      const PlanLine& line = flashing.lines[i];
      const double length = std::hypot(line.endX - line.startX, line.endY - line.startY);
      if (!(length <= static_cast<double>(kLongestFlashingLine))) {
        throw std::runtime_error("current-use row " + std::to_string(row + 1) + " (" +
                                 toUtf8(flashing.currentUse) + "): line " + std::to_string(i + 1) +
                                 " is " + toUtf8(formatUpTo(length / 1000, 3)) +
                                 " m long; a flashing line is at most " +
                                 std::to_string(kLongestFlashingLine / 1000) + " m");
      }
    }
  }
}

// The table the settings dialog will load: the session's database file, or the built-in
// database it writes there when there is none yet.
// What the job creates in the drawing before it writes a bill.
nlohmann::json billDrawingSetup() {
  nlohmann::json drawing = nlohmann::json::object();
  drawing["layers"] = nlohmann::json::array(
      {"0", toUtf8(kBillLayer), toUtf8(kSketchLayer), toUtf8(kFlashingLineLayer)});
  drawing["styles"] = nlohmann::json::array({"Standard", toUtf8(kBillTextStyle)});
  return drawing;
}

LibraryTable sessionDatabase(const sim::HostSession& session) {
  const std::filesystem::path file = databasePath(session.programDirectory());
  return std::filesystem::exists(file) ? readDatabaseFile(file) : builtinLibraryTable();
}

}  // namespace

void runBillJob(const Project& typed, const BillJobOptions& options, BillObserver& observer,
                sim::DrawingSink& drawing) {
  checkLineLengths(typed);
  sim::HostSession session(options.home, options.today, billDrawingSetup());
  session.startComponent();
  observer.componentStarted(session.programDirectory());

  // Every row is checked against the database before the dialog sees it, so that a misspelt
  // name stops the job instead of leaving its flashing out of the bill.
  Project project = typed;
  const LibraryTable table = sessionDatabase(session);
  const std::vector<std::u16string> stored = resolveCurrentUse(project, table);
  std::ostringstream unheard;
  std::ostream& progress = options.progress != nullptr ? *options.progress : unheard;
  checkRowLines(project, stored, table, options.allowOverlaps, progress);
  for (std::size_t i = 0; i < stored.size(); ++i) {
    project.flashings[i].currentUse = stored[i];
  }

  const BillHandOver handOver = requestBillRecord(session, project);
  const BillRecord bill = parseBillRecord(handOver.record);
  checkPriceKeys(project, bill, progress);
  const std::vector<const ProjectFlashing*> flashings =
      matchBillEntries(bill, project, handOver.notes);
  observer.billReceived(bill, handOver.record, flashings, handOver.notes);

  BillDrawer drawer(session, bill, drawing);
  drawer.drawOutline(project.outline);
  session.call(u"WSJM", {bill.header.projectName, bill.header.plateThickness,
                         static_cast<int32_t>(number(bill.header.textHeight, "text height")),
                         pointVariant(project.originX, project.originY), int32_t{0}});
  BillTotals totals;
  int32_t id = 0;
  for (std::size_t block = 0; block < bill.entries.size(); ++block) {
    if (id > kMaxBlockId) {
      throw std::runtime_error("the bill needs more than " + std::to_string(kMaxBlockId + 1) +
                               " blocks of the component's grid; flashing " +
                               std::to_string(block + 1) + " has none left");
    }
    FlashingResult result;
    try {
      result = drawer.drawBlock(block, id, bill.entries[block], *flashings[block]);
      id += result.blocks;
    } catch (const RuntimeError& error) {
      // A call that fails back to the host: say where in the bill it happened.
      throw std::runtime_error("bill block " + std::to_string(block + 1) + " (" +
                               toUtf8(bill.entries[block].name) + "): error " +
                               std::to_string(error.number()) + ": " + toUtf8(error.description()));
    }
    totals.add(bill.entries[block].color, result);
    observer.flashingDrawn(result);
  }
  drawer.drawHeading(bill.header, totals, {project.originX, project.originY});
}

}  // namespace kvm::workshop
