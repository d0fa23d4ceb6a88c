// Loading and saving the database file against plain reading and writing of the same
// bytes: the parse should stay within a small factor of the read.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "base/text.h"
#include "bench/storage/allocation_counter.h"
#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/database_file.h"
#include "storage/file_access.h"

namespace kvm {
namespace {

constexpr int kSegments = 50;
constexpr int kDimensionMarks = 19;
constexpr int kTextMarks = 10;

// 26 libraries of 26 flashings, each with a 50-segment profile and its marks.
LibraryTable fullTable() {
  LibraryTable table;
  for (int l = 0; l < 26; ++l) {
    FlashingLibrary library{u"彩钢板屋面" + decimal(l), {}, 0};
    for (int f = 0; f < 26; ++f) {
      Flashing flashing;
      flashing.Name = u"女儿墙顶包角" + decimal(f);
      flashing.MaxCutLength = 4000;
      flashing.Overlap = 100;
      flashing.Color = u"天蓝色";
      flashing.EndExtension = 100;
      flashing.LengthFactor = 1.0F;
      flashing.DevelopedWidth = 500;
      flashing.ScaleCode = 1;
      flashing.StartX = -2400;
      flashing.StartY = -317;
      for (int s = 0; s < kSegments; ++s) {
        flashing.SegmentLengths.push_back(static_cast<int16_t>(100 + 10 * s));
        flashing.SegmentAngles.push_back(0.1 * s);
      }
      for (int t = 0; t < kTextMarks; ++t) {
        flashing.TextMarks.push_back(TextMark{t == 0 ? u"*" : u"施工时根据板型现场剪角", int16_t(t),
                                              int16_t(-t), 0.1F, 0.8F});
      }
      for (int d = 0; d < kDimensionMarks; ++d) {
        DimensionMark mark;
        mark.Kind = static_cast<uint8_t>(d % 2);
        mark.Style = 0x21;
        mark.Text = d % 2 == 0 ? u"220" : u"141°";
        mark.VertexA = static_cast<uint8_t>(d);
        mark.VertexB = static_cast<uint8_t>(d + 1);
        mark.TextAngle = 0.5F;
        flashing.DimensionMarks.push_back(mark);
      }
      library.Flashings.push_back(std::move(flashing));
    }
    table.push_back(std::move(library));
  }
  return table;
}

// The two databases as files in a scratch folder that lives as long as the process.
struct Files {
  std::filesystem::path folder;
  std::filesystem::path builtin;
  std::filesystem::path full;
  LibraryTable builtinTable;
  LibraryTable fullTable;
  std::string builtinBytes;
  std::string fullBytes;

  Files()
      : folder(std::filesystem::temp_directory_path() /
               ("kvm_database_bench_" + std::to_string(::getpid()))),
        builtin(folder / "builtin.dat"),
        full(folder / "full.dat"),
        builtinTable(builtinLibraryTable()),
        fullTable(kvm::fullTable()),
        builtinBytes(builtinDatabaseBytes()),
        fullBytes(writeLibraryTable(fullTable)) {
    std::filesystem::create_directories(folder);
    writeWholeFile(builtin, builtinBytes, false);
    writeWholeFile(full, fullBytes, false);
  }
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;
  ~Files() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  [[nodiscard]] const std::filesystem::path& file(int which) const {
    return which == 0 ? builtin : full;
  }
  [[nodiscard]] const std::string& bytes(int which) const {
    return which == 0 ? builtinBytes : fullBytes;
  }
  [[nodiscard]] const LibraryTable& table(int which) const {
    return which == 0 ? builtinTable : fullTable;
  }
};

const Files& files() {
  static const Files instance;
  return instance;
}

void label(benchmark::State& state) {
  state.SetLabel(state.range(0) == 0 ? "built-in" : "full");
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations()) *
      static_cast<int64_t>(files().bytes(static_cast<int>(state.range(0))).size()));
}

void BM_ReadBytes(benchmark::State& state) {
  const auto& file = files().file(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(readWholeFile(file));
  }
  label(state);
}

void BM_Load(benchmark::State& state) {
  const auto& file = files().file(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(readDatabaseFile(file));
  }
  label(state);
}

void BM_Parse(benchmark::State& state) {
  const std::string& bytes = files().bytes(static_cast<int>(state.range(0)));
  long long perParse = 0;
  for (auto _ : state) {
    const long long before = bench::allocationCount();
    benchmark::DoNotOptimize(readLibraryTable(bytes));
    perParse = bench::allocationCount() - before;
  }
  state.counters["allocations"] = static_cast<double>(perParse);
  label(state);
}

void BM_Serialize(benchmark::State& state) {
  const LibraryTable& table = files().table(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(writeLibraryTable(table));
  }
  label(state);
}

void BM_WriteBytes(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const auto target = files().folder / "plain.dat";
  for (auto _ : state) {
    writeWholeFile(target, files().bytes(which), false);
  }
  label(state);
}

// A save: serialize, write beside, flush to the disk, replace.
void BM_Save(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const auto target = files().folder / "saved.dat";
  for (auto _ : state) {
    saveDatabase(target, files().table(which));
  }
  label(state);
}

BENCHMARK(BM_ReadBytes)->Arg(0)->Arg(1);
BENCHMARK(BM_Load)->Arg(0)->Arg(1);
BENCHMARK(BM_Parse)->Arg(0)->Arg(1);
BENCHMARK(BM_Serialize)->Arg(0)->Arg(1);
BENCHMARK(BM_WriteBytes)->Arg(0)->Arg(1);
BENCHMARK(BM_Save)->Arg(0)->Arg(1);

}  // namespace
}  // namespace kvm
