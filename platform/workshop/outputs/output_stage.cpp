#include "platform/workshop/outputs/output_stage.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kvm::cli {

namespace {

std::filesystem::path madeTemporaryFolder(const std::filesystem::path& pattern) {
  std::string text = pattern.string();
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    const std::error_code error(errno, std::generic_category());
    throw std::runtime_error(
        pattern.parent_path().string() +
        ": cannot make a temporary folder for the outputs: " + error.message());
  }
  return buffer.data();
}

std::set<std::string> readOutputList(const std::filesystem::path& folder) {
  std::set<std::string> names;
  std::ifstream in(folder / kOutputListName, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) names.insert(line);
  }
  return names;
}

// A folder written before runs kept their list: the names this command gives its files.
bool namedLikeAnOutput(const std::string& name) {
  static const std::regex picture(R"(\d+-.+\.png)");
  return name == "bill.dxf" || name == "bill.txt" || name == "cutlist.csv" ||
         name == "cutplan.csv" || name == "project.json" || std::regex_match(name, picture);
}

void writeOutputList(const std::filesystem::path& folder, const std::set<std::string>& names) {
  std::ofstream out(folder / kOutputListName, std::ios::binary | std::ios::trunc);
  for (const std::string& name : names) {
    out << name << '\n';
  }
  out.close();
  if (!out) {
    throw std::runtime_error((folder / kOutputListName).string() + ": cannot write");
  }
}

std::set<std::string> namesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

}  // namespace

OutputStage::OutputStage(std::filesystem::path target, bool force) : target_(std::move(target)) {
  if (target_.filename().empty()) {
    target_ = target_.parent_path();  // "out/" names the folder "out"
  }
  if (std::filesystem::exists(target_)) {
    if (!std::filesystem::is_directory(target_)) {
      throw std::runtime_error(target_.string() + ": is not a folder");
    }
    const bool listed = std::filesystem::exists(target_ / kOutputListName);
    const std::set<std::string> list = readOutputList(target_);
    bool userFiles = false;
    std::string others;
    for (const std::string& name : namesIn(target_)) {
      if (name == kOutputListName) continue;
      if (listed ? list.contains(name) : namedLikeAnOutput(name)) {
        earlierOutputs_.insert(name);
      } else {
        userFiles = true;
        others += (others.empty() ? "" : ", ") + name;
      }
    }
    if (userFiles && !force) {
      throw std::runtime_error(target_.string() + ": holds files this command did not write (" +
                               others +
                               "); name another folder, or give --force to write beside them "
                               "(they are left alone)");
    }
  }
  const std::filesystem::path parent =
      target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  std::filesystem::create_directories(parent);
  // Beside the output folder, so that its files are moved, never copied, into place.
  stage_ = madeTemporaryFolder(parent / ("." + target_.filename().string() + ".kavelmor-XXXXXX"));
}

OutputStage::~OutputStage() {
  std::error_code ignored;
  std::filesystem::remove_all(stage_, ignored);
}

void OutputStage::commit() {
  writeOutputList(stage_, namesIn(stage_));
  if (!std::filesystem::exists(target_)) {
    std::filesystem::rename(stage_, target_);
  } else {
    // File by file: whatever else is in the folder, even a file written there during the run
    // (a model-space dump), stays.
    moveBesideUserFiles();
  }
}

void OutputStage::moveBesideUserFiles() {
  const std::set<std::string> written = namesIn(stage_);
  for (const std::string& name : written) {
    std::filesystem::rename(stage_ / name, target_ / name);
  }
  for (const std::string& name : earlierOutputs_) {
    if (!written.contains(name)) {
      std::filesystem::remove(target_ / name);
    }
  }
}

}  // namespace kvm::cli
