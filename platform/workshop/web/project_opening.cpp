#include "platform/workshop/web/project_opening.h"

#include <vector>

#include "base/text.h"
#include "model/current_use.h"
#include "platform/workshop/project/current_use_rows.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::workshop::web {

nlohmann::ordered_json openProject(const std::string& text, const std::string& shownName,
                                   const DatabaseChoice& database) {
  Project project = parseProject(text, shownName);
  // Rows with lines of their own are no layer's: they are neither matched nor taken over.
  nlohmann::ordered_json notes = nlohmann::ordered_json::array();
  Project mapped = project;
  mapped.flashings.clear();
  for (std::size_t i = 0; i < project.flashings.size(); ++i) {
    if (project.flashings[i].layers.empty()) {
      notes.push_back(project.flashings[i].place + " (" + toUtf8(project.flashings[i].currentUse) +
                      "): gives its lines as coordinates; the page maps the plan's layers only, "
                      "so the row is left out");
    } else {
      mapped.flashings.push_back(project.flashings[i]);
    }
  }
  const std::vector<std::u16string> stored = resolveCurrentUse(mapped, databaseTable(database));
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < mapped.flashings.size() && i < stored.size(); ++i) {
    const CurrentUseParts parts = splitCurrentUseEntry(stored[i]);
    const ProjectFlashing& row = mapped.flashings[i];
    rows.push_back({{"flashing", listedName(parts.library) + ":" + listedName(parts.flashing)},
                    {"mode", row.mode},
                    {"layers", row.layers}});
  }
  // The reader took the text: it is one JSON object whose other fields the page keeps as given.
  nlohmann::ordered_json file = nlohmann::ordered_json::parse(text);
  file["currentUse"] = std::move(rows);
  return {{"project", std::move(file)}, {"notes", std::move(notes)}};
}

}  // namespace kvm::workshop::web
