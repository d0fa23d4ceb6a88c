#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "platform/sim/host/host_state.h"
#include "platform/sim/host/sim_host.h"

// Applying a host step's configuration to the simulated host.

namespace kvm::sim {

namespace {

[[noreturn]] void malformed(const std::string& key, const std::string& expected) {
  throw std::invalid_argument("host: \"" + key + "\" must be " + expected);
}

std::u16string stringValue(const nlohmann::json& value, const std::string& key) {
  if (!value.is_string()) {
    malformed(key, "a string");
  }
  return fromUtf8(value.get<std::string>());
}

std::vector<std::u16string> stringList(const nlohmann::json& value, const std::string& key) {
  if (!value.is_array()) {
    malformed(key, "an array of strings");
  }
  std::vector<std::u16string> list;
  for (const nlohmann::json& item : value) {
    list.push_back(stringValue(item, key));
  }
  return list;
}

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// "YYYY-MM-DD", a real calendar date.
CalendarDate dateValue(const nlohmann::json& value) {
  const std::string text = value.is_string() ? value.get<std::string>() : std::string();
  auto digits = [&text](std::size_t from, std::size_t count) {
    int number = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') {
        return -1;
      }
      number = number * 10 + (text[i] - '0');
    }
    return number;
  };
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    malformed("today", "a date \"YYYY-MM-DD\"");
  }
  const CalendarDate date{digits(0, 4), digits(5, 2), digits(8, 2)};
  if (date.year < 100 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > daysInMonth(date.year, date.month)) {
    malformed("today", "a date \"YYYY-MM-DD\"");
  }
  return date;
}

Variant sysvarValue(const nlohmann::json& value) {
  if (value.is_string()) {
    return fromUtf8(value.get<std::string>());
  }
  if (value.is_boolean()) {
    return static_cast<int16_t>(value.get<bool>() ? 1 : 0);
  }
  if (value.is_number_integer()) {
    const int64_t number = value.get<int64_t>();
    if (number >= std::numeric_limits<int16_t>::min() &&
        number <= std::numeric_limits<int16_t>::max()) {
      return static_cast<int16_t>(number);
    }
    if (number >= std::numeric_limits<int32_t>::min() &&
        number <= std::numeric_limits<int32_t>::max()) {
      return static_cast<int32_t>(number);
    }
  } else if (value.is_number()) {
    return value.get<double>();
  }
  malformed("sysvars", "an object of strings and numbers");
}

int pixels(const nlohmann::json& screen, const char* key) {
  if (!screen.contains(key) || !screen[key].is_number_integer() ||
      screen[key].get<int64_t>() <= 0 || screen[key].get<int64_t>() > 100000) {
    malformed("screen", "{\"width\": N, \"height\": N} in pixels");
  }
  return static_cast<int>(screen[key].get<int64_t>());
}

}  // namespace

void SimHost::configure(const nlohmann::json& hostConfig) {
  if (!hostConfig.is_object()) {
    throw std::invalid_argument("host: the configuration must be an object");
  }
  for (const auto& [key, value] : hostConfig.items()) {
    static constexpr std::array kKeys{"version", "documents",  "sysvars",   "windows",
                                      "shift",   "menugroups", "layers",    "styles",
                                      "today",   "screen",     "interfaces"};
    if (std::find(kKeys.begin(), kKeys.end(), key) == kKeys.end()) {
      throw std::invalid_argument("host: unknown key \"" + key + "\"");
    }
  }
  // Documents come first: the system variables go to the active one.
  if (hostConfig.contains("documents")) {
    configureDocuments(hostConfig["documents"]);
  }
  if (hostConfig.contains("sysvars")) {
    configureSysvars(hostConfig["sysvars"]);
  }
  if (hostConfig.contains("version")) {
    state_->version = stringValue(hostConfig["version"], "version");
  }
  if (hostConfig.contains("interfaces")) {
    state_->interfaces = stringList(hostConfig["interfaces"], "interfaces");
  }
  if (hostConfig.contains("windows")) {
    windows_ = stringList(hostConfig["windows"], "windows");
  }
  if (hostConfig.contains("shift")) {
    if (!hostConfig["shift"].is_boolean()) {
      malformed("shift", "true or false");
    }
    shift_ = hostConfig["shift"].get<bool>();
  }
  if (hostConfig.contains("menugroups")) {
    state_->menuGroups = menuGroupsFromJson(hostConfig["menugroups"]);
  }
  if (hostConfig.contains("layers")) {
    state_->context->layers = stringList(hostConfig["layers"], "layers");
  }
  if (hostConfig.contains("styles")) {
    state_->context->styles = stringList(hostConfig["styles"], "styles");
  }
  if (hostConfig.contains("today")) {
    today_ = dateValue(hostConfig["today"]);
  }
  if (hostConfig.contains("screen")) {
    configureScreen(hostConfig["screen"]);
  }
}

// Documents already open under a configured name stay as they are, drawing and all.
void SimHost::configureDocuments(const nlohmann::json& names) {
  std::vector<std::shared_ptr<Document>> documents;
  for (const std::u16string& name : stringList(names, "documents")) {
    std::shared_ptr<Document> document;
    for (const auto& open : state_->documents) {
      if (open->name() == name) {
        document = open;
      }
    }
    documents.push_back(document ? document : std::make_shared<Document>(state_->context, name));
  }
  state_->documents = std::move(documents);
}

void SimHost::configureSysvars(const nlohmann::json& values) {
  if (!values.is_object()) {
    malformed("sysvars", "an object of strings and numbers");
  }
  if (state_->documents.empty()) {
    throw std::invalid_argument("host: \"sysvars\" needs an open document");
  }
  SystemVariables& variables = state_->documents.front()->systemVariables();
  for (const auto& [name, value] : values.items()) {
    variables.define(fromUtf8(name), sysvarValue(value));
  }
}

void SimHost::configureScreen(const nlohmann::json& screen) {
  if (!screen.is_object()) {
    malformed("screen", "{\"width\": N, \"height\": N} in pixels");
  }
  screenWidth_ = pixels(screen, "width");
  screenHeight_ = pixels(screen, "height");
}

}  // namespace kvm::sim
