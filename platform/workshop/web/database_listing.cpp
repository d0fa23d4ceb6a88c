#include "platform/workshop/web/database_listing.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "base/text.h"
#include "platform/workshop/database_source.h"
#include "shop/profile_geometry.h"
#include "storage/builtin_database.h"
#include "storage/database_problem.h"

namespace kvm::workshop::web {

namespace {

std::string number(double value) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.1f", value);
  return text.data();
}

nlohmann::ordered_json flashingJson(const std::string& library, const Flashing& flashing) {
  const std::string name = listedName(flashing.Name);
  nlohmann::ordered_json item{{"name", name},
                              {"id", library + ":" + name},
                              {"colour", listedName(flashing.Color)},
                              {"developedWidth", flashing.DevelopedWidth},
                              {"longestPiece", flashing.MaxCutLength},
                              {"overlap", flashing.Overlap},
                              {"endExtension", flashing.EndExtension},
                              {"bends", shop::bendCount(flashing)}};
  item["profile"] = profileSvg(flashing);
  return item;
}

}  // namespace

std::string profileSvg(const Flashing& flashing) {
  if (!flashing.hasProfile()) {
    return "";
  }
  const shop::ProfileGeometry profile = shop::profileGeometry(flashing);
  if (profile.vertices.empty()) {
    return "";
  }
  double left = std::numeric_limits<double>::max();
  double right = std::numeric_limits<double>::lowest();
  double bottom = left;
  double top = right;
  for (const shop::Point& point : profile.vertices) {
    left = std::min(left, point.x);
    right = std::max(right, point.x);
    bottom = std::min(bottom, point.y);
    top = std::max(top, point.y);
  }
  const double margin = std::max({right - left, top - bottom, 1.0}) * 0.08;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" + number(left - margin) +
                    " " + number(-top - margin) + " " + number(right - left + 2 * margin) + " " +
                    number(top - bottom + 2 * margin) +
                    "\"><polyline fill=\"none\" stroke=\"currentColor\" "
                    "stroke-width=\"" +
                    number(margin / 3) + "\" stroke-linejoin=\"round\" points=\"";
  for (const shop::Point& point : profile.vertices) {
    svg += number(point.x) + "," + number(-point.y) + " ";
  }
  svg += "\"/>";
  if (profile.star) {
    svg += "<circle fill=\"red\" cx=\"" + number(profile.star->x) + "\" cy=\"" +
           number(-profile.star->y) + "\" r=\"" + number(margin / 2) + "\"/>";
  }
  return svg + "</svg>";
}

std::string listedName(const std::u16string& name) {
  std::string text = toUtf8(name);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' ||
                           text.back() == '\t' || text.back() == '\0')) {
    text.pop_back();
  }
  return text;
}

LibraryTable databaseTable(const DatabaseChoice& choice) {
  const DatabaseSource source = databaseSource(choice.builtin, choice.file, {}, true);
  return source.file ? readDatabaseForCommand(*source.file) : builtinLibraryTable();
}

nlohmann::ordered_json databaseListing(const DatabaseChoice& choice) {
  const DatabaseSource source = databaseSource(choice.builtin, choice.file, {}, true);
  const LibraryTable table =
      source.file ? readDatabaseForCommand(*source.file) : builtinLibraryTable();
  nlohmann::ordered_json libraries = nlohmann::ordered_json::array();
  if (table.isAllocated()) {
    for (const FlashingLibrary& library : table) {
      const std::string name = listedName(library.Name);
      if (name.empty()) {
        continue;  // a free slot
      }
      nlohmann::ordered_json flashings = nlohmann::ordered_json::array();
      if (library.Flashings.isAllocated()) {
        for (const Flashing& flashing : library.Flashings) {
          if (!listedName(flashing.Name).empty()) {
            flashings.push_back(flashingJson(name, flashing));
          }
        }
      }
      libraries.push_back({{"name", name}, {"flashings", flashings}});
    }
  }
  return {{"database", source.description},
          {"modes",
           {{{"mode", 0}, {"text", "equal pieces"}},
            {{"mode", 1}, {"text", "full-length pieces"}},
            {{"mode", 2}, {"text", "one piece where it fits"}}}},
          {"libraries", libraries}};
}

}  // namespace kvm::workshop::web
