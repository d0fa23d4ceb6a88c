// The main job on the largest bill a database can give: 26 libraries of 26 flashings, each
// flashing drawn with 100 lines. Measures the whole job as `kavelmor bill` runs it, the same
// job and its coil plan with no output written, writing its shop drawings alone, and the heap
// while the blocks are drawn.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "apps/kavelmor/bill/bill_commands.h"
#include "base/text.h"
#include "bill/bill_record.h"
#include "model/current_use.h"
#include "platform/cairo/cairo_render.h"
#include "platform/cairo/shop/shop_pdf.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/outputs/bill_outputs.h"
#include "platform/workshop/outputs/coil_strips.h"
#include "platform/workshop/outputs/drawing_export.h"
#include "platform/workshop/outputs/shop_sheets.h"
#include "platform/workshop/workshop_job.h"
#include "shop/profile_geometry.h"
#include "storage/builtin_database.h"
#include "storage/database_file.h"
#include "storage/program_directory.h"

namespace kvm {
namespace {

constexpr std::size_t kLibraries = 26;
constexpr std::size_t kFlashingsPerLibrary = 26;
constexpr std::size_t kLinesPerFlashing = 100;
constexpr std::size_t kFlashings = kLibraries * kFlashingsPerLibrary;

std::u16string libraryName(std::size_t library) {
  return u"库" + std::u16string(1, static_cast<char16_t>(u'A' + library));
}

std::u16string flashingName(std::size_t flashing) {
  return u"包角" + decimal(static_cast<long long>(flashing / 10)) +
         decimal(static_cast<long long>(flashing % 10));
}

// A full database: every flashing a copy of a built-in one, with its profile.
LibraryTable fullDatabase() {
  const LibraryTable builtin = builtinLibraryTable();
  std::vector<const Flashing*> profiles;
  for (const FlashingLibrary& library : builtin) {
    for (const Flashing& flashing : library.Flashings) profiles.push_back(&flashing);
  }
  std::vector<FlashingLibrary> libraries;
  for (std::size_t l = 0; l < kLibraries; ++l) {
    FlashingLibrary library;
    library.Name = libraryName(l);
    std::vector<Flashing> flashings;
    for (std::size_t f = 0; f < kFlashingsPerLibrary; ++f) {
      Flashing flashing = *profiles[(l * kFlashingsPerLibrary + f) % profiles.size()];
      flashing.Name = flashingName(f);
      flashings.push_back(std::move(flashing));
    }
    library.Flashings = DynamicArray<Flashing>(std::move(flashings));
    libraries.push_back(std::move(library));
  }
  return LibraryTable(std::move(libraries));
}

// 676 current-use rows with 100 lines each, lengths spread from 0.6 m to 12 m; the three
// calculation modes in turn.
std::string projectJson() {
  std::ostringstream out;
  out << R"({"project": {"name": "基准工程", "plateThickness": "0.5", "lengthClassStep": "300",)"
      << R"( "textHeight": "300"}, "billOrigin": [30000, 0], "currentUse": [)";
  for (std::size_t i = 0; i < kFlashings; ++i) {
    out << (i == 0 ? "" : ",") << R"({"flashing": ")"
        << toUtf8(libraryName(i / kFlashingsPerLibrary)) << ':'
        << toUtf8(flashingName(i % kFlashingsPerLibrary)) << R"(", "mode": )" << i % 3
        << R"(, "lines": [)";
    for (std::size_t j = 0; j < kLinesPerFlashing; ++j) {
      const std::size_t length = 600 + (i * 7919 + j * 104729) % 11400;
      const std::size_t x = j * 200;
      const long long y = -static_cast<long long>(i) * 1000;
      out << (j == 0 ? "" : ",") << R"({"start": [)" << x << ", " << y << R"(], "end": [)" << x
          << ", " << y - static_cast<long long>(length) << "]}";
    }
    out << "]}";
  }
  out << "]}";
  return out.str();
}

// The benchmark's files: the database and the project, made once.
struct Inputs {
  std::filesystem::path folder;
  std::filesystem::path database;
  std::filesystem::path project;

  Inputs() {
    folder = std::filesystem::temp_directory_path() /
             ("kvm_bill_job_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    database = folder / "Kavelmor.dat";
    saveDatabase(database, fullDatabase());
    project = folder / "project.json";
    std::ofstream(project, std::ios::binary) << projectJson();
  }
  Inputs(const Inputs&) = delete;
  Inputs& operator=(const Inputs&) = delete;
  ~Inputs() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

const Inputs& inputs() {
  static const Inputs made;
  return made;
}

// Bytes the heap holds for the program right now, C and C++ alike.
std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void BM_BillJobWithOutputs(benchmark::State& state) {
  const Inputs& files = inputs();
  const std::filesystem::path out = files.folder / "out";
  for (auto _ : state) {
    std::filesystem::remove_all(out);
    std::ostringstream progress;
    std::ostringstream errors;
    workshop::BillRequest request;
    request.project = files.project.string();
    request.output = out.string();
    request.database = files.database.string();
    const int status = cli::runBill(request, progress, errors);
    if (status != 0) {
      state.SkipWithError(errors.str().c_str());
      break;
    }
  }
  state.counters["flashings"] = static_cast<double>(kFlashings);
  state.counters["lines"] = static_cast<double>(kFlashings * kLinesPerFlashing);
  state.counters["dxf_MB"] =
      static_cast<double>(std::filesystem::file_size(out / "bill.dxf")) / 1e6;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFlashings));
}

class NoDrawing final : public sim::DrawingSink {
 public:
  void text(const nlohmann::json&) override {}
  void line(const sim::LineData&) override {}
  void polyline(const sim::PolylineData&) override {}
};

// Gathers the pieces cut, for the coil plan alone.
class PiecesCut final : public workshop::BillObserver {
 public:
  void flashingDrawn(const workshop::FlashingResult& result) override { strips.add(result); }
  workshop::CoilStrips strips;
};

// The same session and component calls, and the plan of what is cut, with nothing written:
// what is left of the job when the outputs are taken away. Every output is written from that
// plan, so it belongs to the job.
void BM_BillJobWithoutOutputs(benchmark::State& state) {
  const Inputs& files = inputs();
  const std::filesystem::path home = files.folder / "home";
  std::filesystem::create_directories(programDirectoryUnder(home));
  std::filesystem::copy_file(files.database, databasePath(programDirectoryUnder(home)),
                             std::filesystem::copy_options::overwrite_existing);
  for (auto _ : state) {
    const workshop::Project project = workshop::readProjectFile(files.project);
    PiecesCut pieces;
    NoDrawing nothing;
    workshop::runBillJob(project, {home, {2016, 3, 2}}, pieces, nothing);
    benchmark::DoNotOptimize(pieces.strips.order({}, 0.5));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFlashings));
}

// Gathers the shop drawings' book of the bill as the bill command does.
class ShopBookOfTheBill final : public workshop::BillObserver {
 public:
  explicit ShopBookOfTheBill(const LibraryTable& database) : database_(database) {}

  void flashingDrawn(const workshop::FlashingResult& result) override {
    const CurrentUseParts parts = splitCurrentUseEntry(result.flashing->currentUse);
    const Flashing* profile = findBillFlashing(database_, parts.library, parts.flashing);
    sheets_.add(result, profile);
    bill_.add(result, profile != nullptr ? shop::bendCount(*profile) : 0);
    strips.add(result);
  }

  workshop::CoilStrips strips;

  shop::ShopBook book() {
    return sheets_.finish("基准工程", "2016.3.2", "0.5", {}, bill_, nullptr);
  }

 private:
  const LibraryTable& database_;
  workshop::PieceBill bill_{"0.5"};
  workshop::ShopSheets sheets_{shop::Paper::A4};
};

void BM_ShopPdfOfTheBill(benchmark::State& state) {
  const Inputs& files = inputs();
  const std::filesystem::path home = files.folder / "shop-home";
  std::filesystem::create_directories(programDirectoryUnder(home));
  std::filesystem::copy_file(files.database, databasePath(programDirectoryUnder(home)),
                             std::filesystem::copy_options::overwrite_existing);
  const LibraryTable database = fullDatabase();
  ShopBookOfTheBill gather(database);
  NoDrawing nothing;
  workshop::runBillJob(workshop::readProjectFile(files.project), {home, {2016, 3, 2}}, gather,
                       nothing);
  std::vector<CoilOrder> coil;
  const auto planned = std::chrono::steady_clock::now();
  const std::clock_t plannedCpu = std::clock();
  coil = gather.strips.order({}, 0.5);
  const std::chrono::duration<double> planning = std::chrono::steady_clock::now() - planned;
  state.counters["coil_plan_s"] = planning.count();
  // Processor time too: on the shared machine the wall time counts the neighbours' work.
  state.counters["coil_plan_cpu_s"] =
      static_cast<double>(std::clock() - plannedCpu) / CLOCKS_PER_SEC;
  std::size_t kinds = 0;
  std::size_t patterns = 0;
  double worstGap = 0;
  for (const CoilOrder& order : coil) {
    kinds += order.group.pieces.size();
    patterns += order.plan.patterns.size();
    worstGap = std::max(worstGap, order.plan.gapPercent);
  }
  state.counters["piece_kinds"] = static_cast<double>(kinds);
  state.counters["coil_patterns"] = static_cast<double>(patterns);
  state.counters["coil_gap_pct"] = worstGap;
  shop::ShopBook book = gather.book();
  book.coil = std::move(coil);
  const std::filesystem::path pdf = files.folder / "shop.pdf";
  for (auto _ : state) {
    cairo::writeShopPdf(pdf, book);
  }
  state.counters["pdf_MB"] = static_cast<double>(std::filesystem::file_size(pdf)) / 1e6;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFlashings));
}

// Watches the heap after each drawn block while the outputs are written as usual.
class HeapWatch final : public workshop::BillObserver {
 public:
  explicit HeapWatch(workshop::BillOutputs& outputs) : outputs_(outputs) {}

  void componentStarted(const std::filesystem::path& directory) override {
    outputs_.componentStarted(directory);
  }
  void billReceived(const workshop::BillRecord& bill, std::u16string_view record,
                    const std::vector<const workshop::ProjectFlashing*>& rows,
                    const std::vector<std::u16string>& notes) override {
    outputs_.billReceived(bill, record, rows, notes);
  }
  void flashingDrawn(const workshop::FlashingResult& result) override {
    outputs_.flashingDrawn(result);
    heap.push_back(heapInUse());
  }

  std::vector<std::size_t> heap;

 private:
  workshop::BillOutputs& outputs_;
};

void BM_BillJobHeap(benchmark::State& state) {
  const Inputs& files = inputs();
  const std::filesystem::path home = files.folder / "heap-home";
  const std::filesystem::path out = files.folder / "heap-out";
  std::filesystem::create_directories(programDirectoryUnder(home));
  std::filesystem::create_directories(out);
  std::filesystem::copy_file(files.database, databasePath(programDirectoryUnder(home)),
                             std::filesystem::copy_options::overwrite_existing);
  std::vector<std::size_t> heap;
  for (auto _ : state) {
    const workshop::Project project = workshop::readProjectFile(files.project);
    std::ostringstream progress;
    workshop::DrawingExport drawing(out / "bill.dxf", std::nullopt);
    workshop::BillOutputs outputs(out, out, progress, {});
    HeapWatch watch(outputs);
    workshop::runBillJob(project, {home, {2016, 3, 2}}, watch, drawing);
    drawing.finish();
    outputs.finish(progress);
    heap = watch.heap;
  }
  // From the 50th block on the heap holds what the job needs for any block; what it holds
  // more after the last block is what the drawn blocks left behind.
  const auto kib = [](std::size_t bytes) { return static_cast<double>(bytes) / 1024; };
  state.counters["heap_KiB_at_block_50"] = kib(heap[49]);
  state.counters["heap_KiB_at_block_338"] = kib(heap[337]);
  state.counters["heap_KiB_at_block_676"] = kib(heap.back());
  state.counters["growth_B_per_block"] =
      (static_cast<double>(heap.back()) - static_cast<double>(heap[49])) /
      static_cast<double>(heap.size() - 50);
}

BENCHMARK(BM_BillJobWithOutputs)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BillJobWithoutOutputs)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ShopPdfOfTheBill)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_BillJobHeap)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kvm

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kvm::cairo::releaseFontCaches();
  return 0;
}
