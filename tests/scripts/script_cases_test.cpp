// Plays every host script under this folder and compares its events with the expected ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "apps/kavelmor/script/script_session.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::vector<json> readJsonLines(std::istream& in) {
  std::vector<json> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") != std::string::npos) {
      lines.push_back(json::parse(line));
    }
  }
  return lines;
}

std::vector<fs::path> scriptFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(KVM_SCRIPTS_DIR)) {
    const auto name = entry.path().filename().string();
    if (entry.is_regular_file() && name.ends_with(".script.jsonl")) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string caseName(const testing::TestParamInfo<fs::path>& info) {
  auto relative = fs::relative(info.param, KVM_SCRIPTS_DIR).string();
  relative = relative.substr(0, relative.size() - std::string(".script.jsonl").size());
  for (auto& c : relative) {
    if (!std::isalnum(static_cast<unsigned char>(c))) {
      c = '_';
    }
  }
  return relative;
}

class ScriptCase : public testing::TestWithParam<fs::path> {};

TEST_P(ScriptCase, prints_the_expected_events) {
  const auto script = GetParam();
  const auto fileName = script.filename().string();
  const auto stem = fileName.substr(0, fileName.size() - std::string(".script.jsonl").size());
  const auto expectedPath = script.parent_path() / (stem + ".expected.jsonl");
  std::ifstream expectedFile(expectedPath);
  ASSERT_TRUE(expectedFile) << "missing " << expectedPath;
  const auto expected = readJsonLines(expectedFile);

  const auto home = fs::temp_directory_path() /
                    ("kavelmor-script-" + caseName({script, 0}) + "-" +
                     std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(home);
  fs::create_directories(home);
  std::ifstream scriptFile(script, std::ios::binary);
  std::stringstream out;
  const int status = kvm::script::runScript(scriptFile, out, {home, {}});
  fs::remove_all(home);

  // The session's folder differs from run to run: the events name it "$HOME".
  std::string events = out.str();
  const std::string folder = home.string();
  for (auto at = events.find(folder); at != std::string::npos; at = events.find(folder, at)) {
    events.replace(at, folder.size(), "$HOME");
  }
  std::stringstream normalised(events);
  const auto actual = readJsonLines(normalised);
  const bool expectsStop =
      !expected.empty() && expected.back().contains("error") && !expected.back().contains("call");
  EXPECT_EQ(status, expectsStop ? 2 : 0) << out.str();
  for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
    const auto want = i < expected.size() ? expected[i].dump() : std::string("(nothing)");
    const auto got = i < actual.size() ? actual[i].dump() : std::string("(nothing)");
    if (i >= expected.size() || i >= actual.size() || expected[i] != actual[i]) {
      ADD_FAILURE() << "event " << i + 1 << " differs\n  expected: " << want
                    << "\n  actual:   " << got;
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(HostScripts, ScriptCase, testing::ValuesIn(scriptFiles()), caseName);

}  // namespace
