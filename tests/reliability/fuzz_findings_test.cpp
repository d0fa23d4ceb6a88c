// Inputs the fuzz targets found, kept so that they stay harmless.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "apps/kavelmor/script/script_session.h"
#include "platform/workshop/project/project_file.h"

namespace kvm::testing {
namespace {

TEST(FuzzFindings, a_project_file_with_a_number_beyond_a_double_is_refused_not_thrown_through) {
  EXPECT_THROW(workshop::parseProject(std::string(400, '6') + "e666", "p.json"),
               workshop::ProjectError);
  EXPECT_THROW(workshop::parseProject(R"({"billOrigin": [1e999, 0]})", "p.json"),
               workshop::ProjectError);
}

TEST(FuzzFindings, tagged_argument_values_are_read_after_their_tag_is_looked_at) {
  namespace fs = std::filesystem;
  const auto home = fs::temp_directory_path() / ("kvm-findings-" + std::to_string(::getpid()));
  fs::create_directories(home);
  std::istringstream script(
      R"({"create": true})"
      "\n"
      R"({"call": "mzbj0", "args": [{"I2": 0}, {"I2": 4000}, {"UI1": 100}, {"R8": 100}]})"
      "\n");
  std::ostringstream events;
  EXPECT_EQ(kvm::script::runScript(script, events, {home, {}}), 0) << events.str();
  fs::remove_all(home);
  EXPECT_NE(events.str().find(R"("call":"mzbj0","result")"), std::string::npos) << events.str();
}

}  // namespace
}  // namespace kvm::testing
