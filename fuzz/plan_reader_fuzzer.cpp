// Plan drawings as bytes, ASCII or binary: each one is taken off or refused with one line
// naming the place; blocks are expanded with whatever transforms the bytes give, also where
// they come after the entities, and light polylines are traced from the bytes a second time.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/dxf/plan_reader.h"

namespace {

struct Sink : kvm::dxf::FlashingLineSink {
  void add(std::size_t /*layer*/, const kvm::dxf::FlashingLine& /*line*/) override {}
  void layerFound(std::size_t /*layer*/, const std::string& /*name*/) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);  // NOLINT
  try {
    kvm::dxf::GroupReader groups(bytes, "fuzz.dxf");
    // A smaller bound on what blocks unfold to keeps every input quick to run.
    kvm::dxf::PlanOptions options;
    options.maxExpansion = 100'000;
    Sink sink;
    (void)kvm::dxf::readPlan(groups, options, &sink);
  } catch (const kvm::dxf::PlanError&) {
  }
  return 0;
}
