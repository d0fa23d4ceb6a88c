#include <benchmark/benchmark.h>

#include <string>

#include "base/codepage.h"

namespace {

// A database load converts a few thousand short names and colours.
std::u16string sampleNames() {
  std::u16string text;
  for (int i = 0; i < 100; ++i) {
    text += u"彩钢板屋面包角 L=3500 天蓝色 女儿墙泛水";
  }
  return text;
}

void BM_toGbk(benchmark::State& state) {
  const std::u16string text = sampleNames();
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvm::toGbk(text));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size() * 2));
}
BENCHMARK(BM_toGbk);

void BM_fromGbk(benchmark::State& state) {
  const std::string bytes = kvm::toGbk(sampleNames());
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvm::fromGbk(bytes));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_fromGbk);

void BM_gbkByteLength(benchmark::State& state) {
  const std::u16string text = u"彩钢板屋面包角";
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvm::gbkByteLength(text));
  }
}
BENCHMARK(BM_gbkByteLength);

void BM_collateCompare(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(kvm::collateCompare(u"彩钢板屋面包角", u"彩钢板屋面泛水"));
  }
}
BENCHMARK(BM_collateCompare);

}  // namespace
