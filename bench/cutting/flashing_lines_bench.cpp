// The cost of one flashing line must not grow with the lines already collected: the list is
// extended in place, never copied per call. Items per second stay flat across the sizes.
#include <benchmark/benchmark.h>

#include "base/variant.h"
#include "host/component.h"
#include "ui/ui.h"

namespace {

class SilentUi final : public kvm::Ui {
 public:
  kvm::MsgAnswer messageBox(std::u16string_view, const std::optional<std::u16string>&, kvm::MsgIcon,
                            kvm::MsgButtons) override {
    return kvm::MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t, std::u16string_view) override { return false; }
  kvm::CalendarDate today() override { return {}; }
};

kvm::DispatchPtr makeComponent() {
  auto process = std::make_shared<kvm::ProcessContext>();
  process->ui = std::make_shared<SilentUi>();
  process->programDirectoryRoot = std::filesystem::temp_directory_path() / "kavelmor-bench";
  return kvm::createComponent(process);
}

void addLinesThenCollect(benchmark::State& state) {
  const auto component = makeComponent();
  const auto lines = state.range(0);
  for (auto _ : state) {
    std::vector<kvm::Variant> open{int16_t{0}, int16_t{4000}, int16_t{100}, int16_t{100}};
    component->invoke(u"mzbj0", kvm::InvokeKind::Method, open);
    for (int64_t i = 0; i < lines; ++i) {
      const double x = static_cast<double>(i);
      std::vector<kvm::Variant> args{int16_t{0}, kvm::Variant::doubles({x, 0}),
                                     kvm::Variant::doubles({x, 5000})};
      component->invoke(u"bjxn", kvm::InvokeKind::Method, args);
    }
    std::vector<kvm::Variant> block{int16_t{0}};
    benchmark::DoNotOptimize(component->invoke(u"qp1", kvm::InvokeKind::Method, block));
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(addLinesThenCollect)->RangeMultiplier(2)->Range(256, 8192);

}  // namespace

BENCHMARK_MAIN();
