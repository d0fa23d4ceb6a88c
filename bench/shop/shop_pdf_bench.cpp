// Writing the shop drawings of a 676-flashing bill: the cover, a page per flashing and the
// coil pages. The bill job without outputs is the yardstick (bench/bill_job).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "base/text.h"
#include "platform/cairo/cairo_render.h"
#include "platform/cairo/shop/shop_pdf.h"
#include "shop/profile_geometry.h"
#include "storage/builtin_database.h"

namespace {

constexpr std::size_t kFlashings = 676;

// 676 sheets cycling through the built-in profiles in six colours, three rows each.
kvm::shop::ShopBook largeBook() {
  std::vector<kvm::Flashing> profiles;
  for (const kvm::FlashingLibrary& library : kvm::builtinLibraryTable()) {
    for (const kvm::Flashing& f : library.Flashings) profiles.push_back(f);
  }
  const std::vector<std::string> colours{"天蓝色", "白灰色", "象牙白", "海蓝色", "红色", "豆绿色"};
  kvm::shop::ShopBook book;
  book.project = "示范工程车间一";
  book.date = "2026-12-07";
  book.thickness = "0.5";
  book.currency = "CNY";
  for (const std::string& colour : colours) {
    book.coil.push_back({{colour, 0.5, 1250, 10, {}}, {}});
  }
  for (std::size_t i = 0; i < kFlashings; ++i) {
    kvm::shop::FlashingSheet s;
    s.block = i + 1;
    s.profile = profiles[i % profiles.size()];
    s.name = kvm::toUtf8(s.profile.Name);
    s.colour = colours[i % colours.size()];
    s.developedWidth = s.profile.DevelopedWidth;
    s.bends = kvm::shop::bendCount(s.profile);
    const auto n = static_cast<int64_t>(i % 7);
    s.rows = {{3900, 8 + i % 5, "1–4"}, {2500 + n * 100, 2, "5, 6"}, {1200 + n * 50, 1, "7"}};
    double mm = 0;
    for (const kvm::shop::CutRow& row : s.rows) {
      s.piecesToCut += row.pieces;
      mm += static_cast<double>(row.pieces * static_cast<std::size_t>(row.pieceLength));
      book.coil[i % colours.size()].group.pieces.push_back(
          {s.name + " " + std::to_string(s.block), s.developedWidth,
           static_cast<double>(row.pieceLength), static_cast<int>(row.pieces)});
    }
    s.runLength = mm / 1000;
    s.area = s.runLength * s.developedWidth / 1000;
    s.weight = kvm::shop::sheetWeight(s.area, 0.5);
    s.cost = s.area * 38.5 + s.bends * s.runLength * 0.8;
    book.flashings.push_back(std::move(s));
  }
  for (const std::string& colour : colours) {
    kvm::shop::ColourTotal total{colour, 0.5, 0, 0, 0, 0.0};
    for (const kvm::shop::FlashingSheet& s : book.flashings) {
      if (s.colour != colour) continue;
      total.runLength += s.runLength;
      total.area += s.area;
      total.weight += s.weight;
      *total.cost += *s.cost;
    }
    book.totals.push_back(total);
  }
  for (kvm::CoilOrder& order : book.coil) order.plan = kvm::planCoil(order.group);
  return book;
}

// Planned once: the benchmark calls each case several times.
const kvm::shop::ShopBook& plannedBook() {
  static const kvm::shop::ShopBook book = largeBook();
  return book;
}

// Argument 1: with the coil pages; 0: the cover and the flashing pages alone.
void shopPdfOfALargeBill(benchmark::State& state) {
  kvm::shop::ShopBook book = plannedBook();
  if (state.range(0) == 0) book.coil.clear();
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "kvm-shop-bench.pdf";
  for (auto _ : state) {
    kvm::cairo::writeShopPdf(file, book);
  }
  const kvm::cairo::CairoTextMeasure measure;
  const kvm::shop::ShopPages pages = kvm::shop::layoutShopBook(book, measure);
  state.counters["pages"] = static_cast<double>(pages.pages.size());
  state.counters["cover_pages"] = static_cast<double>(pages.coverPages);
  state.counters["coil_pages"] = static_cast<double>(pages.coilPages);
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  std::filesystem::remove(file);
}
BENCHMARK(shopPdfOfALargeBill)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The layout alone, measured in the embedded face.
void shopLayoutOfALargeBill(benchmark::State& state) {
  const kvm::shop::ShopBook& book = plannedBook();
  for (auto _ : state) {
    const kvm::cairo::CairoTextMeasure measure;
    benchmark::DoNotOptimize(kvm::shop::layoutShopBook(book, measure));
  }
}
BENCHMARK(shopLayoutOfALargeBill)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
