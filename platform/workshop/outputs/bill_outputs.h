#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "files/staged_file.h"
#include "model/flashing.h"
#include "platform/workshop/job/bill_job.h"
#include "platform/workshop/outputs/bill_text.h"
#include "platform/workshop/outputs/coil_strips.h"
#include "platform/workshop/outputs/cut_list.h"
#include "platform/workshop/outputs/cut_plan.h"
#include "platform/workshop/outputs/picture_writer.h"
#include "platform/workshop/outputs/piece_bill.h"
#include "platform/workshop/outputs/shop_sheets.h"

namespace kvm::workshop {

// What the project and the command line ask of the outputs beyond the bill itself.
struct BillOutputOptions {
  CoilStock coil;
  std::optional<Prices> prices;
  shop::Paper paper = shop::Paper::A4;
  // Called before each block is written out; a front end that wants the job stopped throws
  // from it, and the staged outputs go with the objects that own them.
  std::function<void()> checkpoint;
};

// Writes what a bill job gives a person, as the job goes: a section of bill.txt, a row group
// of cutlist.csv and cutplan.csv and a profile picture per flashing, and progress lines; bill.csv
// once the coil is ordered.
class BillOutputs final : public BillObserver {
 public:
  // Writes into `folder`; the progress lines name the files where they end up, in `shown`.
  BillOutputs(std::filesystem::path folder, std::filesystem::path shown, std::ostream& progress,
              BillOutputOptions options);

  void componentStarted(const std::filesystem::path& programDirectory) override;
  void billReceived(const BillRecord& bill, std::u16string_view record,
                    const std::vector<const ProjectFlashing*>& rows,
                    const std::vector<std::u16string>& notes) override;
  void flashingDrawn(const FlashingResult& result) override;

  // Plans the coil, prices the bill, writes the shop drawings, moves the cut list into place
  // and reports what was written to `report`, for saying once the outputs are in place.
  void finish(std::ostream& report);

  [[nodiscard]] std::size_t pictures() const { return pictures_; }

 private:
  // The picture's file name; empty when the database has no such flashing to draw.
  std::string writePicture(const FlashingResult& result, const Flashing* flashing);
  // The costs of a priced bill once the coil is ordered; none without prices.
  [[nodiscard]] std::optional<BillCosts> costs(const std::vector<CoilOrder>& orders) const;
  void writeBill(const BillCosts* costs);
  [[nodiscard]] bool reportEach() const;

  std::filesystem::path folder_;
  std::filesystem::path shown_;
  std::ostream& progress_;
  std::filesystem::path programDirectory_;
  // bill.txt, written as the blocks are drawn, so that nothing of a block is kept.
  std::optional<files::StagedFile> billTextFile_;
  std::optional<BillText> billText_;
  std::u16string projectName_;
  std::u16string date_;
  std::u16string thickness_;
  BillOutputOptions options_;
  CoilStrips coilStrips_;
  ShopSheets shopSheets_;
  std::optional<CutList> cutList_;
  std::optional<PieceBill> pieceBill_;
  CutPlanFile cutPlan_;
  LibraryTable database_;
  std::size_t flashings_ = 0;
  std::size_t drawn_ = 0;
  std::size_t pictures_ = 0;
  std::size_t rows_ = 0;
  PictureWriter pictureWriter_;
};

// A picture's file name: the block number, padded to the bill's size, and the flashing's name
// with what a file system would refuse replaced.
std::string pictureName(std::size_t block, std::size_t blocks, std::u16string_view flashing);

}  // namespace kvm::workshop
