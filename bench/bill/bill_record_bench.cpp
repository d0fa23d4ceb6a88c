// The bill button on a full database: 26 libraries of 26 flashings with 50-segment profiles,
// 19 dimension marks and 10 text marks each, some or all of them on the current-use list. The
// record should cost in proportion to its entries and stay within a small factor of writing
// as many characters.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "base/text.h"
#include "bench/support/full_database.h"
#include "model/current_use.h"
#include "session/process.h"
#include "settings/frm_set.h"
#include "settings/settings_state.h"
#include "storage/database_file.h"
#include "storage/memory_settings_store.h"

namespace kvm {
namespace {

using bench::fullTable;
constexpr int kLibraries = bench::kFullLibraries;
constexpr int kFlashings = bench::kFullFlashings;

// A desktop that answers every box with OK and shows nothing.
class QuietUi final : public Ui {
 public:
  MsgAnswer messageBox(std::u16string_view /*text*/, const std::optional<std::u16string>& /*title*/,
                       MsgIcon /*icon*/, MsgButtons /*buttons*/) override {
    ++boxes;
    return MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t /*afterWindow*/, std::u16string_view /*title*/) override {
    return false;
  }
  CalendarDate today() override { return {2016, 3, 2}; }

  int boxes = 0;
};

// The settings dialog of a process of its own, loaded from the full database.
class Session {
 public:
  Session()
      : folder_(std::filesystem::temp_directory_path() /
                ("kvm-bill-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
    saveDatabase(databasePath(folder_), fullTable());
    process_->ui = ui_;
    process_->settings = std::make_shared<MemorySettingsStore>();
    process_->programDirectory = folder_;
    form().load();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    process_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  FrmSet& form() { return frmSet(*process_, u"1.2"); }

  // The first `entries` flashings of the table on the current-use list.
  void useFlashings(int entries) {
    form().lstDang.clear();
    const LibraryTable& table = settingsState(*process_).libraries;
    for (int entry = 0; entry < entries; ++entry) {
      const FlashingLibrary& library = table[static_cast<std::size_t>(entry / kFlashings)];
      form().lstDang.addItem(currentUseEntry(
          library.Name, library.Flashings[static_cast<std::size_t>(entry % kFlashings)].Name));
    }
  }

  std::u16string bill() {
    process_->resultString.clear();
    form().cmdQingDan.userClick();
    return process_->resultString;
  }

  [[nodiscard]] int boxes() const { return ui_->boxes; }

 private:
  std::filesystem::path folder_;
  std::shared_ptr<QuietUi> ui_ = std::make_shared<QuietUi>();
  std::shared_ptr<ProcessContext> process_ = std::make_shared<ProcessContext>();
};

Session& session() {
  static Session instance;
  return instance;
}

void setCounters(benchmark::State& state, std::size_t characters) {
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(characters * sizeof(char16_t)));
  state.counters["chars"] = static_cast<double>(characters);
}

void BM_BillRecord(benchmark::State& state) {
  session().useFlashings(static_cast<int>(state.range(0)));
  std::size_t characters = 0;
  for (auto _ : state) {
    const std::u16string record = session().bill();
    characters = record.size();
    benchmark::DoNotOptimize(record.data());
  }
  if (session().boxes() != 0 || characters == 0) {
    state.SkipWithError("the bill was refused");
  }
  setCounters(state, characters);
}

// The same characters written in pieces of a field's size, as the record is written.
void BM_WriteSameCharacters(benchmark::State& state) {
  session().useFlashings(static_cast<int>(state.range(0)));
  const std::u16string record = session().bill();
  constexpr std::size_t kPiece = 6;
  for (auto _ : state) {
    std::u16string copy;
    for (std::size_t at = 0; at < record.size(); at += kPiece) {
      copy.append(record, at, kPiece);
    }
    benchmark::DoNotOptimize(copy.data());
  }
  setCounters(state, record.size());
}

constexpr int kFull = kLibraries * kFlashings;

BENCHMARK(BM_BillRecord)
    ->Arg(kFlashings)
    ->Arg(int64_t{4} * kFlashings)
    ->Arg(int64_t{8} * kFlashings)
    ->Arg(int64_t{16} * kFlashings)
    ->Arg(kFull)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_WriteSameCharacters)->Arg(kFlashings)->Arg(kFull);

}  // namespace
}  // namespace kvm
