#include "apps/kavelmor/script/value_json.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kvm::script {
namespace {

Variant read(const char* text) {
  return valueFromJson(nlohmann::json::parse(text), [](const std::string&) { return nullptr; });
}

TEST(value_json_test, arrays_of_several_dimensions_read_and_print_as_nested_lists) {
  const char* kGrid = R"({"array": [[1, 2, 3], [4, 5, 6]], "type": "I4", "lbound": [0, -1]})";
  const Variant grid = read(kGrid);
  const auto& array = grid.arrayValue();
  ASSERT_EQ(array.dimensions.size(), 2U);
  EXPECT_EQ(array.dimensions[0], (ArrayDimension{0, 2}));
  EXPECT_EQ(array.dimensions[1], (ArrayDimension{-1, 3}));
  // The last index varies fastest.
  EXPECT_EQ(array.elements[1], Variant(int32_t{2}));
  EXPECT_EQ(array.elements[3], Variant(int32_t{4}));
  EXPECT_EQ(valueToJson(grid), nlohmann::json::parse(kGrid));

  const char* kCube =
      R"({"array": [[[{"I2": 1}], [null]], [[true], ["x"]]], "type": "VARIANT", "lbound": [1, 1, 1]})";
  EXPECT_EQ(valueToJson(read(kCube)), nlohmann::json::parse(kCube));

  // An empty first dimension leaves the others empty too.
  const Variant empty = read(R"({"array": [], "type": "R8", "lbound": [0, 0]})");
  EXPECT_EQ(empty.arrayValue().dimensions[1].count, 0);
  EXPECT_TRUE(empty.arrayValue().elements.empty());
}

TEST(value_json_test, nested_lists_must_be_rectangular_and_as_deep_as_the_bounds) {
  EXPECT_THROW(read(R"({"array": [[1, 2], [3]], "type": "I4", "lbound": [0, 0]})"),
               std::invalid_argument);
  EXPECT_THROW(read(R"({"array": [1, 2], "type": "I4", "lbound": [0, 0]})"), std::invalid_argument);
  EXPECT_THROW(read(R"({"array": [[1]], "type": "I4", "lbound": [0]})"), std::invalid_argument);
  EXPECT_THROW(read(R"({"array": [[1]], "type": "I4", "lbound": [0, "a"]})"),
               std::invalid_argument);
  EXPECT_THROW(read(R"({"array": [[70000]], "type": "I2", "lbound": [0, 0]})"),
               std::invalid_argument);
}

TEST(value_json_test, null_is_its_own_value) {
  const Variant null = read(R"({"Null": true})");
  EXPECT_TRUE(null.isNull());
  EXPECT_EQ(valueToJson(null), nlohmann::json::parse(R"({"Null": true})"));
  EXPECT_TRUE(read("null").isEmpty());
  EXPECT_THROW(read(R"({"Null": false})"), std::invalid_argument);
  EXPECT_THROW(read(R"({"Null": 1})"), std::invalid_argument);
}

}  // namespace
}  // namespace kvm::script
