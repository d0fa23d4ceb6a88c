#include "canvas/canvas_json.h"

#include <cmath>
#include <cstdint>
#include <type_traits>

#include "base/text.h"

namespace kvm::canvas {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, uint8_t byte) {
  out.push_back(kHexDigits[byte >> 4U]);
  out.push_back(kHexDigits[byte & 0x0FU]);
}

std::string hexBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    appendHex(out, static_cast<uint8_t>(c));
  }
  return out;
}

// Whole values print as integers, so that 171 reads as 171 and not 171.0.
nlohmann::json number(double value) {
  constexpr double kLongRange = 9.0e15;
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < kLongRange) {
    return static_cast<int64_t>(value);
  }
  return value;
}

nlohmann::json fontJson(const LogicalFont& font) {
  return {{"height", font.height},
          {"width", font.width},
          {"escapement", font.escapement},
          {"orientation", font.orientation},
          {"weight", font.weight},
          {"italic", font.italic},
          {"underline", font.underline},
          {"strikeOut", font.strikeOut},
          {"charSet", font.charSet},
          {"outPrecision", font.outPrecision},
          {"clipPrecision", font.clipPrecision},
          {"quality", font.quality},
          {"pitchAndFamily", font.pitchAndFamily},
          {"faceName", toUtf8(font.faceName)}};
}

}  // namespace

std::string colourText(Rgb colour) {
  std::string out = "#";
  appendHex(out, colour.red);
  appendHex(out, colour.green);
  appendHex(out, colour.blue);
  return out;
}

nlohmann::json opJson(const CanvasOp& operation) {
  return std::visit(
      [](const auto& o) -> nlohmann::json {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, op::Clear>) {
          return nlohmann::json::array({"clear"});
        } else if constexpr (std::is_same_v<T, op::Pen>) {
          return nlohmann::json::array({"pen", o.width, colourText(o.colour)});
        } else if constexpr (std::is_same_v<T, op::MoveTo>) {
          return nlohmann::json::array({"moveto", o.x, o.y});
        } else if constexpr (std::is_same_v<T, op::LineTo>) {
          return nlohmann::json::array({"lineto", o.x, o.y});
        } else if constexpr (std::is_same_v<T, op::Font>) {
          return nlohmann::json::array({"font", fontJson(o.font)});
        } else if constexpr (std::is_same_v<T, op::Select>) {
          return nlohmann::json::array(
              {"select", o.which == FontSelection::Created ? "font" : "previous"});
        } else if constexpr (std::is_same_v<T, op::Align>) {
          return nlohmann::json::array({"align", o.flags});
        } else if constexpr (std::is_same_v<T, op::TextColor>) {
          return nlohmann::json::array({"textcolor", colourText(o.colour)});
        } else if constexpr (std::is_same_v<T, op::TextOut>) {
          return nlohmann::json::array({"textout", o.x, o.y, hexBytes(o.ansiBytes)});
        } else if constexpr (std::is_same_v<T, op::Print>) {
          nlohmann::json font = {
              {"face", toUtf8(o.font.face)}, {"size", number(o.font.size)}, {"bold", o.font.bold}};
          return nlohmann::json::array(
              {"print", number(o.x), number(o.y), toUtf8(o.text), std::move(font)});
        } else if constexpr (std::is_same_v<T, op::Refresh>) {
          return nlohmann::json::array({"refresh"});
        } else {
          static_assert(std::is_same_v<T, op::DeleteFont>);
          return nlohmann::json::array({"delete", "font"});
        }
      },
      operation);
}

nlohmann::json opsJson(const std::vector<CanvasOp>& operations) {
  nlohmann::json out = nlohmann::json::array();
  for (const CanvasOp& each : operations) {
    out.push_back(opJson(each));
  }
  return out;
}

nlohmann::json pictureJson(double width, double height, const std::vector<CanvasOp>& operations) {
  return {{"width", number(width)}, {"height", number(height)}, {"ops", opsJson(operations)}};
}

}  // namespace kvm::canvas
