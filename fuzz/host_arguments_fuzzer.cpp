// The component's methods called by name with automation values of every type and shape, on
// the simulated host: before and after start-up, with the document closed in between, with
// dialogs closed at once or left to the runner to stop.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "fuzz/automation_values.h"
#include "fuzz/fuzz_session.h"
#include "host/interface.h"

namespace {

using kvm::fuzz::ByteSource;
using nlohmann::json;

std::string memberName(ByteSource& source) {
  const auto members = kvm::clsKavelmorMembers();
  const std::size_t index = source.pick(members.size() + 1);
  if (index == members.size()) {
    return "noSuchMethod";
  }
  std::string name = kvm::toUtf8(members[index].name);
  if (source.pick(8) == 0) {
    for (auto& c : name) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return name;
}

json callStep(ByteSource& source) {
  const std::string name = memberName(source);
  const auto* member = kvm::findMember(kvm::fromUtf8(name));
  const std::size_t declared = member ? member->parameters.size() : 0;
  const std::size_t count = source.pick(4) == 0 ? source.pick(9) : declared;
  json args = json::array();
  for (std::size_t i = 0; i < count; ++i) {
    args.push_back(kvm::fuzz::automationValue(source));
  }
  json ui = json::array();
  if (source.pick(2) == 0) {
    ui.push_back(json::array({"close"}));
  }
  return {{"call", name}, {"args", std::move(args)}, {"ui", std::move(ui)}};
}

json otherStep(ByteSource& source) {
  switch (source.pick(5)) {
    case 0: return {{"host", {{"documents", json::array()}}}};
    case 1: return {{"host", {{"documents", {"Drawing2.dwg", "Drawing1.dwg"}}}}};
    case 2: return {{"release", true}};
    case 3: return {{"create", true}};
    default: return {{"answers", {"no", "cancel", "yes", "ok"}}};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteSource source(std::span(data, size));
  std::string script;
  const auto add = [&script](const json& step) { script += step.dump() + "\n"; };
  add({{"host", {{"today", "2016-03-02"}, {"version", source.pick(4) == 0 ? "15.0" : "16.2"}}}});
  add({{"create", true}});
  if (source.pick(4) != 0) {
    add({{"call", "dycjmw"}, {"args", {"$app", 0, 0}}});
  }
  for (int step = 0; step < 12 && !source.empty(); ++step) {
    add(source.pick(6) == 0 ? otherStep(source) : callStep(source));
  }
  add({{"release", true}});
  kvm::fuzz::playScript(script);
  return 0;
}
