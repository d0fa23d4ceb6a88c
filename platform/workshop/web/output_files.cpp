#include "platform/workshop/web/output_files.h"

#include <algorithm>
#include <fstream>

#include "platform/workshop/outputs/output_names.h"
#include "platform/workshop/outputs/output_stage.h"

namespace kvm::workshop::web {

namespace {

bool isFixedName(std::string_view name) {
  return std::ranges::find(kBillOutputNames, name) != kBillOutputNames.end();
}

// "01-屋脊包角.png": two digits, a dash, a name without any separator or parent step.
bool isPictureName(std::string_view name) {
  return name.size() > 7 && name[0] >= '0' && name[0] <= '9' && name[1] >= '0' && name[1] <= '9' &&
         name[2] == '-' && name.ends_with(".png") &&
         name.find_first_of("/\\:") == std::string_view::npos &&
         name.find("..") == std::string_view::npos;
}

std::vector<std::string> listFile(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::ifstream list(folder / kOutputListName);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) {
      names.push_back(line);
    }
  }
  return names;
}

}  // namespace

std::vector<std::string> listedOutputs(const std::filesystem::path& folder) {
  const std::vector<std::string> listed = listFile(folder);
  std::vector<std::string> outputs;
  for (const std::string_view name : kBillOutputNames) {
    if (std::ranges::find(listed, name) != listed.end()) {
      outputs.emplace_back(name);
    }
  }
  for (const std::string& name : listed) {
    if (isPictureName(name)) {
      outputs.push_back(name);
    }
  }
  return outputs;
}

std::optional<std::filesystem::path> outputFile(const std::filesystem::path& folder,
                                                std::string_view name) {
  if (!isFixedName(name) && !isPictureName(name)) {
    return std::nullopt;
  }
  const std::vector<std::string> listed = listFile(folder);
  if (std::ranges::find(listed, name) == listed.end()) {
    return std::nullopt;
  }
  return folder / std::string(name);
}

std::string_view mediaType(std::string_view name) {
  if (name.ends_with(".pdf")) return "application/pdf";
  if (name.ends_with(".png")) return "image/png";
  if (name.ends_with(".csv")) return "text/csv; charset=utf-8";
  if (name.ends_with(".txt")) return "text/plain; charset=utf-8";
  if (name.ends_with(".dxf")) return "application/dxf";
  return "application/octet-stream";
}

}  // namespace kvm::workshop::web
