// Loading and saving the database file against plain reading and writing of the same
// bytes: the parse should stay within a small factor of the read.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "base/text.h"
#include "bench/storage/allocation_counter.h"
#include "bench/support/full_database.h"
#include "storage/builtin_database.h"
#include "storage/database_codec.h"
#include "storage/database_file.h"
#include "storage/file_access.h"

namespace kvm {
namespace {

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
        fullTable(bench::fullTable()),
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
