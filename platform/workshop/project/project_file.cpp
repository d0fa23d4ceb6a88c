#include "platform/workshop/project/project_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_map>
#include <variant>

#include <nlohmann/json.hpp>

#include "base/numbers.h"
#include "base/text.h"
#include "base/utf8.h"
#include "platform/dxf/name_decoder.h"
#include "platform/workshop/project/json_locator.h"

namespace kvm::workshop {

namespace {

using nlohmann::json;

// A drawing of a building, in millimetres, stays well inside this.
constexpr double kMaxCoordinate = 1e9;

// Reads one JSON document into a Project, naming the field and its place on every complaint.
class ProjectReader {
 public:
  ProjectReader(std::string_view text, std::string source)
      : text_(text), source_(std::move(source)) {}

  Project read(const json& root) {
    root_ = &root;
    if (!root.is_object()) {
      fail({}, "a project is a JSON object");
    }
    onlyKeys(root, {},
             {"project", "billOrigin", "outline", "currentUse", "plan", "coil", "prices"});
    Project project;
    if (root.contains("plan")) {
      const json& plan = root.at("plan");
      if (!plan.is_string() || plan.get<std::string>().empty()) {
        fail({"plan"}, "must name the plan drawing (a DXF file, relative to the project file)");
      }
      project.plan = std::filesystem::path(plan.get<std::string>());
    }
    project.settings = settings(member(root, {}, "project"), {"project"});
    project.source = source_;
    project.namePlace = locate(text_, {"project", "name"});
    project.thicknessPlace = locate(text_, {"project", "plateThickness"});
    project.classStepPlace = locate(text_, {"project", "lengthClassStep"});
    project.textHeightPlace = locate(text_, {"project", "textHeight"});
    const JsonPath originPath{"billOrigin"};
    const auto origin = point(member(root, {}, "billOrigin"), originPath);
    project.originX = origin[0];
    project.originY = origin[1];
    if (root.contains("outline")) {
      project.outline = lines(root.at("outline"), {"outline"});
    }
    if (root.contains("coil")) {
      project.coil = coil(root.at("coil"), {"coil"});
    }
    if (root.contains("prices")) {
      project.prices = prices(root.at("prices"), {"prices"});
    }
    const json& currentUse = member(root, {}, "currentUse");
    const JsonPath usePath{"currentUse"};
    if (!currentUse.is_array()) {
      fail(usePath, "must be an array of flashings");
    }
    if (currentUse.size() > kMaxFlashings) {
      fail(usePath, "holds more than " + std::to_string(kMaxFlashings) + " flashings");
    }
    for (std::size_t i = 0; i < currentUse.size(); ++i) {
      project.flashings.push_back(flashing(currentUse[i], with(usePath, i)));
    }
    placeRows(project.flashings, usePath);
    refuseRepeatedRows(project.flashings);
    return project;
  }

 private:
  [[noreturn]] void fail(const JsonPath& path, const std::string& problem) const {
    const TextPosition at = locate(text_, path);
    throw ProjectError(source_ + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
                           ": " + fieldName(path) + ": " + problem,
                       fieldName(path), layersAt(path));
  }

  // The plan's layers of the current-use row a path lies in, as far as the row names them: its
  // layers, or the one named like its flashing.
  [[nodiscard]] std::vector<std::string> layersAt(const JsonPath& path) const {
    std::vector<std::string> names;
    if (root_ == nullptr || path.size() < 2 || path[0] != JsonStep{"currentUse"} ||
        !std::holds_alternative<std::size_t>(path[1]) || !root_->is_object() ||
        !root_->contains("currentUse") || !root_->at("currentUse").is_array()) {
      return names;
    }
    const json& rows = root_->at("currentUse");
    const std::size_t index = std::get<std::size_t>(path[1]);
    if (index >= rows.size() || !rows[index].is_object()) {
      return names;
    }
    const json& row = rows[index];
    if (row.contains("layers") && row.at("layers").is_array()) {
      for (const json& layer : row.at("layers")) {
        if (layer.is_string()) {
          names.push_back(layer.get<std::string>());
        }
      }
    } else if (!row.contains("lines") && row.contains("flashing") &&
               row.at("flashing").is_string()) {
      const std::string name = row.at("flashing").get<std::string>();
      if (const auto colon = name.find(':'); colon != std::string::npos) {
        names.push_back(name.substr(colon + 1));
      }
    }
    return names;
  }

  static JsonPath with(JsonPath path, JsonStep step) {
    path.push_back(std::move(step));
    return path;
  }

  void onlyKeys(const json& object, const JsonPath& path,
                std::initializer_list<const char*> known) const {
    for (const auto& item : object.items()) {
      const bool isKnown = std::any_of(known.begin(), known.end(),
                                       [&item](const char* key) { return item.key() == key; });
      if (!isKnown) {
        std::string list;
        for (const char* key : known) {
          list += (list.empty() ? "" : ", ") + std::string(key);
        }
        fail(with(path, item.key()), "is not a field of this object (its fields: " + list + ")");
      }
    }
  }

  const json& member(const json& object, const JsonPath& path, const char* key) const {
    if (!object.contains(key)) {
      fail(with(path, key), "is missing");
    }
    return object.at(key);
  }

  // A project value as the user would type it into the dialog: a string, or a number taken
  // as its shortest text.
  std::u16string settingText(const json& value, const JsonPath& path) const {
    if (value.is_string()) {
      return fromUtf8(value.get<std::string>());
    }
    if (value.is_number()) {
      return fromUtf8(value.dump());
    }
    fail(path, "must be a string or a number");
  }

  ProjectSettings settings(const json& value, const JsonPath& path) const {
    if (!value.is_object()) {
      fail(path, "must be an object with name, plateThickness, lengthClassStep and textHeight");
    }
    onlyKeys(value, path, {"name", "plateThickness", "lengthClassStep", "textHeight"});
    ProjectSettings settings;
    settings.ProjectName = settingText(member(value, path, "name"), with(path, "name"));
    settings.PlateThickness =
        settingText(member(value, path, "plateThickness"), with(path, "plateThickness"));
    settings.LengthClassStep =
        settingText(member(value, path, "lengthClassStep"), with(path, "lengthClassStep"));
    settings.TextHeight = settingText(member(value, path, "textHeight"), with(path, "textHeight"));
    for (const std::u16string* text : {&settings.ProjectName, &settings.PlateThickness,
                                       &settings.LengthClassStep, &settings.TextHeight}) {
      // The stored settings separate their fields with the character of code 1.
      if (std::any_of(text->begin(), text->end(), [](char16_t c) { return c < 0x20; })) {
        fail(path, "a project value holds a control character");
      }
    }
    return settings;
  }

  std::array<double, 2> point(const json& value, const JsonPath& path) const {
    if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number()) {
      fail(path, "must be a point [x, y] of two numbers (mm)");
    }
    const std::array<double, 2> xy{value[0].get<double>(), value[1].get<double>()};
    if (!(std::abs(xy[0]) <= kMaxCoordinate) || !(std::abs(xy[1]) <= kMaxCoordinate)) {
      fail(path, "must lie within 1000 km of the drawing's origin");
    }
    return xy;
  }

  // A number within [low, high] (mm or money).
  double bounded(const json& value, const JsonPath& path, double low, double high,
                 const char* what) const {
    if (!value.is_number() || !(value.get<double>() >= low) || !(value.get<double>() <= high)) {
      fail(path, std::string("must be ") + what);
    }
    return value.get<double>();
  }

  CoilStock coil(const json& value, const JsonPath& path) const {
    if (!value.is_object()) {
      fail(path, "must be an object {\"width\": 1250, \"trim\": 10} (mm)");
    }
    onlyKeys(value, path, {"width", "trim", "maxSheet"});
    CoilStock stock;
    if (value.contains("width")) {
      stock.width = bounded(value.at("width"), with(path, "width"), 1, 10000,
                            "a coil width from 1 to 10000 mm");
    }
    if (value.contains("trim")) {
      stock.trim = bounded(value.at("trim"), with(path, "trim"), 0, 10000, "a trim from 0 mm");
      if (stock.trim >= stock.width) {
        fail(with(path, "trim"),
             "must leave some of the coil's width: it is " + value.at("trim").dump() + " mm of a " +
                 std::to_string(static_cast<long long>(stock.width)) + " mm coil");
      }
    }
    if (value.contains("maxSheet")) {
      stock.maxSheet = bounded(value.at("maxSheet"), with(path, "maxSheet"), 1, 1'000'000,
                               "a sheet length from 1 to 1000000 mm");
    }
    return stock;
  }

  Prices prices(const json& value, const JsonPath& path) const {
    if (!value.is_object()) {
      fail(path,
           "must be an object with sheet prices by \"colour/thickness\", perBendPerMetre and "
           "currency");
    }
    onlyKeys(value, path, {"sheet", "perBendPerMetre", "currency"});
    Prices result;
    if (value.contains("sheet")) {
      const json& sheet = value.at("sheet");
      const JsonPath sheetPath = with(path, "sheet");
      if (!sheet.is_object()) {
        fail(sheetPath, "must be an object of prices per m² by \"colour/thickness\"");
      }
      for (const auto& item : sheet.items()) {
        if (item.key().find('/') == std::string::npos) {
          fail(with(sheetPath, item.key()), "must be named \"colour/thickness\", as 天蓝色/0.5");
        }
        result.sheet[item.key()] = bounded(item.value(), with(sheetPath, item.key()), 0, 1e9,
                                           "a price per m², not negative");
        result.sheetPlaces[item.key()] = place(with(sheetPath, item.key()));
      }
    }
    if (value.contains("perBendPerMetre")) {
      result.perBendPerMetre = bounded(value.at("perBendPerMetre"), with(path, "perBendPerMetre"),
                                       0, 1e9, "a price per bend and metre, not negative");
    }
    if (value.contains("currency")) {
      if (!value.at("currency").is_string() || value.at("currency").get<std::string>().empty()) {
        fail(with(path, "currency"), "must be a text, as CNY");
      }
      result.currency = value.at("currency").get<std::string>();
    }
    return result;
  }

  PlanLine line(const json& value, const JsonPath& path) const {
    if (!value.is_object()) {
      fail(path, "must be a line {\"start\": [x, y], \"end\": [x, y]}");
    }
    onlyKeys(value, path, {"start", "end"});
    const auto start = point(member(value, path, "start"), with(path, "start"));
    const auto end = point(member(value, path, "end"), with(path, "end"));
    if (start == end) {
      fail(path, "has no length: its start and end are the same point");
    }
    const double length = std::hypot(end[0] - start[0], end[1] - start[1]);
    if (length < kShortestFlashingLine) {
      fail(path, "is " + toUtf8(formatUpTo(length, 3)) +
                     " mm long, shorter than 1 mm: a drawing's rounding, no flashing line");
    }
    return {start[0], start[1], end[0], end[1]};
  }

  std::vector<PlanLine> lines(const json& value, const JsonPath& path) const {
    if (!value.is_array()) {
      fail(path, "must be an array of lines");
    }
    std::vector<PlanLine> result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
      result.push_back(line(value[i], with(path, i)));
    }
    return result;
  }

  std::string place(const JsonPath& path) const {
    const TextPosition at = locate(text_, path);
    return source_ + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": " +
           fieldName(path);
  }

  std::vector<std::string> layers(const json& value, const JsonPath& path) const {
    if (!value.is_array() || value.empty()) {
      fail(path, "must be an array of the plan's layer names");
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (!value[i].is_string() || value[i].get<std::string>().empty()) {
        fail(with(path, i), "must be a layer name");
      }
      names.push_back(value[i].get<std::string>());
    }
    return names;
  }

  ProjectFlashing flashing(const json& value, const JsonPath& path) const {
    if (!value.is_object()) {
      fail(path, "must be an object with flashing, mode and lines or layers");
    }
    onlyKeys(value, path, {"flashing", "mode", "lines", "layers"});
    ProjectFlashing result;
    const json& name = member(value, path, "flashing");
    const JsonPath namePath = with(path, "flashing");
    if (!name.is_string()) {
      fail(namePath, "must be a string \"library:flashing\"");
    }
    result.currentUse = fromUtf8(name.get<std::string>());
    if (result.currentUse.find(u':') == std::u16string::npos) {
      fail(namePath, "must name the library and the flashing as \"library:flashing\"");
    }
    // Codes 1 to 5 separate the stored settings and the bill record.
    if (std::any_of(result.currentUse.begin(), result.currentUse.end(),
                    [](char16_t c) { return c <= 5; })) {
      fail(namePath, "holds a control character of code 0 to 5");
    }
    const json& mode = member(value, path, "mode");
    if (!mode.is_number_integer() || mode.get<long long>() < kModeEqualPieces ||
        mode.get<long long>() > kModeEconomic) {
      fail(with(path, "mode"),
           "must be 0 (equal pieces), 1 (full-length pieces) or 2 (one piece where it fits)");
    }
    result.mode = static_cast<int>(mode.get<long long>());
    if (value.contains("lines") && value.contains("layers")) {
      fail(with(path, "layers"), "a row takes lines or layers, not both");
    }
    if (value.contains("layers")) {
      result.layers = layers(value.at("layers"), with(path, "layers"));
      return result;
    }
    if (!value.contains("lines")) {
      // The layer named like the flashing, as detailers name their layers.
      result.layers.push_back(toUtf8(result.currentUse.substr(result.currentUse.find(u':') + 1)));
      return result;
    }
    const JsonPath linesPath = with(path, "lines");
    result.lines = lines(member(value, path, "lines"), linesPath);
    if (result.lines.empty()) {
      fail(linesPath, "holds no lines: the row has nothing to cut");
    }
    if (result.lines.size() > kMaxLinesPerFlashing) {
      fail(linesPath, "holds more than " + std::to_string(kMaxLinesPerFlashing) +
                          " lines, more than the component keeps for one flashing");
    }
    return result;
  }

  // Every row's place, found in one pass: looking each up reads the text from its start.
  void placeRows(std::vector<ProjectFlashing>& rows, const JsonPath& usePath) const {
    const ElementPlaces places = locateElements(text_, usePath, "flashing");
    const auto at = [this](const TextPosition& position) {
      return source_ + ":" + std::to_string(position.line) + ":" + std::to_string(position.column) +
             ": ";
    };
    for (std::size_t i = 0; i < rows.size() && i < places.elements.size(); ++i) {
      const std::string field = fieldName(with(usePath, i));
      rows[i].place = at(places.elements[i]) + field;
      rows[i].namePlace = at(places.keyed[i]) + field + ".flashing";
      rows[i].field = field;
    }
  }

  // A row given twice has every one of its lines installed twice.
  static void refuseRepeatedRows(const std::vector<ProjectFlashing>& rows) {
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto [first, isNew] = seen.emplace(rowKey(rows[i]), i);
      if (!isNew) {
        throw ProjectError(rows[i].place + ": the same flashing with the same " +
                               (rows[i].lines.empty() ? "layers" : "lines") + " as " +
                               rows[first->second].place +
                               ": each of its lines would be billed twice; remove one of the rows",
                           rows[i].field, rows[i].layers);
      }
    }
  }

  // The flashing as stored names would match it, and its lines in any order and either way
  // round, or its layers as the plan matches them.
  static std::string rowKey(const ProjectFlashing& row) {
    std::u16string_view name = row.currentUse;
    while (!name.empty() && (name.back() == u' ' || name.back() == u'\t' || name.back() == u'\r' ||
                             name.back() == u'\n' || name.back() == u'\u3000')) {
      name.remove_suffix(1);
    }
    std::string key = toUtf8(std::u16string(name)) + '\n';
    if (!row.lines.empty()) {
      std::vector<std::array<double, 4>> lines;
      lines.reserve(row.lines.size());
      for (const PlanLine& line : row.lines) {
        std::array<double, 4> ends{line.startX, line.startY, line.endX, line.endY};
        if (std::tie(ends[2], ends[3]) < std::tie(ends[0], ends[1])) {
          std::swap(ends[0], ends[2]);
          std::swap(ends[1], ends[3]);
        }
        lines.push_back(ends);
      }
      std::sort(lines.begin(), lines.end());
      key += 'L';
      for (const auto& ends : lines) {
        for (const double value : ends) {
          key += std::to_string(std::bit_cast<std::uint64_t>(value + 0.0)) + ',';
        }
      }
      return key;
    }
    std::vector<std::string> layers;
    layers.reserve(row.layers.size());
    for (const std::string& layer : row.layers) {
      layers.push_back(dxf::foldedName(layer));
    }
    std::sort(layers.begin(), layers.end());
    key += 'Y';
    for (const std::string& layer : layers) {
      key += layer + '\n';
    }
    return key;
  }

  std::string_view text_;
  std::string source_;
  const json* root_ = nullptr;
};

// nlohmann's message ends in "...at line 3, column 5: syntax error ..."; keep what follows.
std::string syntaxProblem(const json::parse_error& error) {
  const std::string what = error.what();
  const auto at = what.find(": ", what.find("column"));
  return at == std::string::npos ? what : what.substr(at + 2);
}

// Follows the parse to name the place of a key that an object holds twice: the reader would
// silently keep the last of them.
class DuplicateKeys {
 public:
  bool operator()(int /*depth*/, json::parse_event_t event, json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start: frames_.push_back({}); break;
      case json::parse_event_t::array_start:
        frames_.emplace_back();
        frames_.back().array = true;
        break;
      case json::parse_event_t::key: {
        Frame& frame = frames_.back();
        frame.key = parsed.get<std::string>();
        if (!frame.keys.insert(frame.key).second && !duplicate_) {
          duplicate_ = path();
        }
        break;
      }
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        frames_.pop_back();
        advance();
        break;
      case json::parse_event_t::value: advance(); break;
    }
    return true;
  }

  [[nodiscard]] const std::optional<JsonPath>& duplicate() const { return duplicate_; }

 private:
  struct Frame {
    bool array = false;
    std::size_t index = 0;
    std::string key;
    std::set<std::string> keys;
  };

  void advance() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
  }

  [[nodiscard]] JsonPath path() const {
    JsonPath steps;
    for (const Frame& frame : frames_) {
      if (frame.array) {
        steps.emplace_back(frame.index);
      } else {
        steps.emplace_back(frame.key);
      }
    }
    return steps;
  }

  std::vector<Frame> frames_;
  std::optional<JsonPath> duplicate_;
};

// A hint for a file that is not UTF-8, by the encodings a Chinese Windows editor saves in,
// with the place of the first byte that is not; empty for a UTF-8 text. Overlong forms,
// encoded surrogates and values past U+10FFFF are refused like any other ill-formed bytes.
std::string encodingProblem(std::string_view text, const std::string& sourceName) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (text.size() >= 2 &&
      ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF) ||
       text.find('\0') != std::string_view::npos)) {
    return sourceName + ": is UTF-16 (Unicode); save it as UTF-8";
  }
  if (const std::size_t valid = validUtf8Prefix(text); valid < text.size()) {
    const TextPosition at = positionOf(text, valid);
    return sourceName + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
           ": is not UTF-8 (GBK, as a Chinese Windows editor saves?); save it as UTF-8";
  }
  return {};
}

}  // namespace

Project parseProject(std::string_view text, const std::string& sourceName) {
  if (const std::string problem = encodingProblem(text, sourceName); !problem.empty()) {
    throw ProjectError(problem);
  }
  json root;
  try {
    DuplicateKeys duplicates;
    root = json::parse(text, std::ref(duplicates));
    if (duplicates.duplicate()) {
      const TextPosition at = locate(text, *duplicates.duplicate());
      throw ProjectError(sourceName + ":" + std::to_string(at.line) + ":" +
                             std::to_string(at.column) + ": " + fieldName(*duplicates.duplicate()) +
                             ": is given twice",
                         fieldName(*duplicates.duplicate()));
    }
  } catch (const json::parse_error& error) {
    const TextPosition at = positionOf(text, error.byte > 0 ? error.byte - 1 : 0);
    throw ProjectError(sourceName + ":" + std::to_string(at.line) + ":" +
                       std::to_string(at.column) + ": not JSON: " + syntaxProblem(error));
  } catch (const json::exception&) {
    // The reader names no place for a number beyond the range of a double.
    throw ProjectError(sourceName + ": not JSON: a number out of range");
  }
  return ProjectReader(text, sourceName).read(root);
}

Project readProjectFile(const std::filesystem::path& file) {
  if (file == "-") {
    std::ostringstream in;
    in << std::cin.rdbuf();
    return parseProject(in.str(), "(standard input)");
  }
  std::error_code ignored;
  if (std::filesystem::is_directory(file, ignored)) {
    throw ProjectError(file.string() + ": is a folder, not a project file");
  }
  std::ifstream stream(file, std::ios::binary | std::ios::ate);
  const std::streamoff size = stream ? static_cast<std::streamoff>(stream.tellg()) : -1;
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 0U, '\0');
  stream.seekg(0);
  if (size < 0 || !stream.read(text.data(), size)) {
    throw ProjectError(file.string() + ": cannot be read");
  }
  Project project = parseProject(text, file.string());
  if (!project.plan.empty() && project.plan.is_relative()) {
    project.plan = file.parent_path() / project.plan;
  }
  return project;
}

}  // namespace kvm::workshop
