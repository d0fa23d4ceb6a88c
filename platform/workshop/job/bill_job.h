#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/host/drawing_sink.h"
#include "platform/workshop/cutting/cutting_plan.h"
#include "platform/workshop/job/bill_record_reader.h"
#include "platform/workshop/job/length_classes.h"
#include "platform/workshop/project/project_file.h"
#include "ui/ui.h"

namespace kvm::workshop {

// One count row of a bill block: a length class and the pieces the component cut it into.
struct ClassRow {
  LengthClass lengthClass;
  int32_t pieceLength = 0;    // mm
  double pieces = 0;          // whole in mode 0, tenths of full pieces in modes 1 and 2
  std::u16string lengthText;  // the row's texts, as written into the drawing
  std::u16string countText;
  bool split = true;  // false: the component could not split the class and answered (1, 1)
  std::size_t piecesToCut = 0;  // the whole pieces of the cutting plan for the class's lines

  [[nodiscard]] double runLength() const { return pieceLength * pieces; }  // mm
};

// A drawn bill block.
struct FlashingResult {
  std::size_t block = 0;  // the flashing's place in the bill, from 0
  // The first block of the component's grid the flashing is drawn in, and how many consecutive
  // blocks its count rows take.
  int32_t id = 0;
  int32_t blocks = 1;
  const BillEntry* entry = nullptr;
  const ProjectFlashing* flashing = nullptr;
  std::vector<ClassRow> rows;
  double cutLength = 0;  // mm, all rows together
  double area = 0;       // m², developed width × cut length
  std::u16string areaText;
  std::u16string lengthText;
  // The workshop's pieces for the row's lines, in the project's order of the lines; lines of a
  // class the component could not split have none.
  CuttingPlan plan;
  // Messages the component showed while the block was drawn (none when all went well).
  std::vector<std::u16string> messages;
};

// Hears how the job goes, as it goes; each call happens once the step is done.
class BillObserver {
 public:
  BillObserver() = default;
  BillObserver(const BillObserver&) = delete;
  BillObserver& operator=(const BillObserver&) = delete;
  BillObserver(BillObserver&&) = delete;
  BillObserver& operator=(BillObserver&&) = delete;
  virtual ~BillObserver() = default;

  virtual void componentStarted(const std::filesystem::path& /*programDirectory*/) {}
  // `rows` gives, per bill entry, the current-use row it stands for; `notes` what the dialog
  // wrote on the command line (the rows it left out).
  virtual void billReceived(const BillRecord& /*bill*/, std::u16string_view /*record*/,
                            const std::vector<const ProjectFlashing*>& /*rows*/,
                            const std::vector<std::u16string>& /*notes*/) {}
  virtual void flashingDrawn(const FlashingResult& /*result*/) {}
};

struct BillJobOptions {
  // Where the session keeps its program directory (home/QORNCAD) and its settings store.
  std::filesystem::path home;
  CalendarDate today;
  // Where the warnings about the plan go, before the bill is made; none: nowhere.
  std::ostream* progress = nullptr;
  bool allowOverlaps = false;  // bill lines drawn twice, with a warning, instead of refusing
};

// The main job, as the host runs it: starts the component on the simulated host, gets the
// bill record through the settings dialog, writes the bill with the component and hands the
// drawing to `drawing` after every block, so that the drawing is never kept whole.
void runBillJob(const Project& project, const BillJobOptions& options, BillObserver& observer,
                sim::DrawingSink& drawing);

}  // namespace kvm::workshop
