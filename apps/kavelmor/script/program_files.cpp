#include "apps/kavelmor/script/program_files.h"

#include <fstream>
#include <map>
#include <stdexcept>

#include "apps/kavelmor/script/sha256.h"
#include "storage/file_access.h"

namespace kvm::script {

namespace {

std::filesystem::path fileIn(const std::filesystem::path& folder, const std::string& name) {
  const bool plain = !name.empty() && name != "." && name != ".." &&
                     name.find_first_of("/\\:") == std::string::npos;
  if (!plain) {
    throw std::invalid_argument("not a plain file name: \"" + name + "\"");
  }
  return folder / name;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string bytesFromHex(const std::string& hex) {
  std::string compact;
  for (const char c : hex) {
    if (c != ' ' && c != '\n' && c != '\t') {
      compact.push_back(c);
    }
  }
  if (compact.size() % 2 != 0) {
    throw std::invalid_argument("hex text of odd length");
  }
  std::string bytes;
  bytes.reserve(compact.size() / 2);
  for (std::size_t i = 0; i < compact.size(); i += 2) {
    const int high = hexDigit(compact[i]);
    const int low = hexDigit(compact[i + 1]);
    if (high < 0 || low < 0) {
      throw std::invalid_argument("not a hex digit in \"" + compact.substr(i, 2) + "\"");
    }
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

}  // namespace

void applyFileChanges(const std::filesystem::path& folder, const nlohmann::json& changes) {
  std::filesystem::create_directories(folder);
  const auto put = changes.value("put", nlohmann::json::object());
  for (const auto& [name, content] : put.items()) {
    const auto bytes = bytesFromHex(content.at("hex").get<std::string>());
    std::ofstream file(fileIn(folder, name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
      throw std::runtime_error("cannot write " + name);
    }
  }
  for (const auto& name : changes.value("delete", nlohmann::json::array())) {
    std::error_code ignored;
    std::filesystem::remove(fileIn(folder, name.get<std::string>()), ignored);
  }
}

nlohmann::json describeFiles(const std::filesystem::path& folder) {
  std::map<std::string, nlohmann::json> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (!entry.is_regular_file()) {
      continue;
    }
    const std::string bytes = readWholeFile(entry.path());
    files[entry.path().filename().string()] = {{"size", bytes.size()},
                                               {"sha256", sha256Hex(bytes)}};
  }
  nlohmann::json out = nlohmann::json::object();
  for (auto& [name, description] : files) {
    out[name] = std::move(description);
  }
  return out;
}

}  // namespace kvm::script
