#include "platform/workshop/outputs/bill_outputs.h"

#include "base/numbers.h"
#include "base/text.h"
#include "model/current_use.h"
#include "platform/cairo/cairo_render.h"
#include "platform/cairo/shop/shop_pdf.h"
#include "platform/workshop/outputs/bill_text.h"
#include "preview/profile_preview.h"
#include "shop/profile_geometry.h"
#include "storage/database_file.h"

namespace kvm::workshop {

namespace {

// Bills longer than this report every tenth of the way instead of every flashing.
constexpr std::size_t kReportEachUpTo = 40;

// The desktop of the pictures: a message the preview would show becomes a progress line.
class PictureMessages final : public Ui {
 public:
  explicit PictureMessages(std::ostream& out) : out_(out) {}
  MsgAnswer messageBox(std::u16string_view text, const std::optional<std::u16string>&, MsgIcon,
                       MsgButtons) override {
    out_ << "  the preview stopped: " << toUtf8(text) << '\n';
    return MsgAnswer::Ok;
  }
  bool shiftDown() override { return false; }
  bool topLevelWindowAfter(std::intptr_t, std::u16string_view) override { return false; }
  CalendarDate today() override { return {}; }

 private:
  std::ostream& out_;
};

const Flashing* findFlashing(const LibraryTable& table, std::u16string_view currentUse) {
  const CurrentUseParts parts = splitCurrentUseEntry(currentUse);
  for (const FlashingLibrary& library : table) {
    if (library.Name != parts.library) continue;
    for (const Flashing& flashing : library.Flashings) {
      if (flashing.Name == parts.flashing) return &flashing;
    }
  }
  return nullptr;
}

// "1 line", "2 lines".
std::string counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string pictureName(std::size_t block, std::size_t blocks, std::u16string_view flashing) {
  std::string number = std::to_string(block + 1);
  const std::size_t width = std::max<std::size_t>(2, std::to_string(blocks).size());
  number.insert(0, width > number.size() ? width - number.size() : 0, '0');
  std::u16string name(flashing);
  for (char16_t& c : name) {
    if (c < 0x20 || c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
        c == u'<' || c == u'>' || c == u'|') {
      c = u'_';
    }
  }
  return number + "-" + toUtf8(name) + ".png";
}

BillOutputs::BillOutputs(std::filesystem::path folder, std::filesystem::path shown,
                         std::ostream& progress, BillOutputOptions options)
    : folder_(std::move(folder)),
      shown_(std::move(shown)),
      progress_(progress),
      options_(std::move(options)),
      shopSheets_(options_.paper),
      cutPlan_(folder_ / "cutplan.csv") {}

void BillOutputs::componentStarted(const std::filesystem::path& programDirectory) {
  programDirectory_ = programDirectory;
  // The session's folder is temporary unless --home names it: no path worth printing.
  progress_ << "Started the component on the simulated host\n";
}

void BillOutputs::billReceived(const BillRecord& bill, std::u16string_view /*record*/,
                               const std::vector<const ProjectFlashing*>& /*rows*/,
                               const std::vector<std::u16string>& notes) {
  flashings_ = bill.entries.size();
  for (const std::u16string& note : notes) {
    const std::string line = noteLine(note);
    if (!line.empty()) {
      progress_ << "The settings dialog noted: " << line << '\n';
    }
  }
  billTextFile_.emplace(folder_ / "bill.txt");
  billText_.emplace(billTextFile_->stream(), bill, notes);
  projectName_ = bill.header.projectName;
  date_ = bill.header.date;
  thickness_ = bill.header.plateThickness;
  cutList_.emplace(folder_ / "cutlist.csv", toUtf8(thickness_));
  pieceBill_.emplace(toUtf8(thickness_));
  progress_ << "The settings dialog handed over a bill of " << flashings_ << " flashings\n";
  database_ = readDatabaseFile(databasePath(programDirectory_));
}

bool BillOutputs::reportEach() const {
  return flashings_ <= kReportEachUpTo;
}

std::string BillOutputs::writePicture(const FlashingResult& result, const Flashing* flashing) {
  if (flashing == nullptr) {
    return {};
  }
  std::string name = pictureName(result.block, flashings_, result.entry->name);
  preview::RecordingPreviewArea area;
  PictureMessages messages(progress_);
  preview::showFlashingPreview(*flashing, area, messages);
  pictureWriter_.submit(area.recording().ops(), static_cast<int>(area.innerWidth()),
                        static_cast<int>(area.innerHeight()), folder_ / name);
  ++pictures_;
  return name;
}

void BillOutputs::flashingDrawn(const FlashingResult& result) {
  if (options_.checkpoint) {
    options_.checkpoint();
  }
  ++drawn_;
  const Flashing* flashing = findFlashing(database_, result.flashing->currentUse);
  const int bends = flashing != nullptr ? shop::bendCount(*flashing) : 0;
  cutList_->add(result, bends);
  pieceBill_->add(result, bends);
  const BillRow& cut = pieceBill_->rows().back();
  cutPlan_.add(result);
  coilStrips_.add(result);
  shopSheets_.add(result, flashing);
  billText_->add(result, cut);
  const std::string picture = writePicture(result, flashing);
  rows_ += result.rows.size();

  if (reportEach()) {
    progress_ << "Block " << result.block + 1 << ": " << toUtf8(result.entry->name) << ", "
              << counted(result.flashing->lines.size(), "line", "lines") << " in "
              << counted(result.rows.size(), "length class", "length classes") << ", "
              << counted(cut.pieces, "piece", "pieces") << ", "
              << toUtf8(formatFixed(cut.pieceLength, 2)) << " m, "
              << toUtf8(formatFixed(cut.area, 2)) << " m²"
              << (picture.empty() ? "" : "; picture " + picture) << '\n';
  } else if (drawn_ % std::max<std::size_t>(1, flashings_ / 10) == 0 || drawn_ == flashings_) {
    progress_ << "Drew " << drawn_ << " of " << flashings_ << " bill blocks\n";
  }
  for (const ClassRow& row : result.rows) {
    if (!row.split) {
      progress_ << "  block " << result.block + 1 << ": the component could not cut the "
                << row.lengthClass.length
                << " mm class into pieces (it answered 1 piece of 1 mm)\n";
    }
  }
  for (const std::u16string& message : result.messages) {
    progress_ << "  block " << result.block + 1 << ": the component said: " << noteLine(message)
              << '\n';
  }
  progress_.flush();  // progress is for watching, also through a pipe
}

std::optional<BillCosts> BillOutputs::costs(const std::vector<CoilOrder>& orders) const {
  if (!options_.prices) {
    return std::nullopt;
  }
  BillCosts costs(*options_.prices, toUtf8(thickness_));
  costs.setCoil(orders, pieceBill_->areaByColour());
  return costs;
}

void BillOutputs::writeBill(const BillCosts* costs) {
  if (costs != nullptr) pieceBill_->price(*costs);
  files::StagedFile file(folder_ / "bill.csv");
  writeBillCsv(file.stream(), *pieceBill_, toUtf8(projectName_) + " " + toUtf8(date_));
  file.commit();
}

void BillOutputs::finish(std::ostream& report) {
  const double thickness = parseNumber(thickness_).value_or(0);
  std::vector<CoilOrder> coilOrders = coilStrips_.order(options_.coil, thickness);
  writeCoilCsv(folder_ / "coil.csv", coilOrders);
  writeCoilTotalCsv(folder_ / "coil_total.csv", coilOrders);
  const std::optional<BillCosts> billCosts = costs(coilOrders);
  const BillCosts* priced = billCosts ? &*billCosts : nullptr;
  pictureWriter_.finish();
  writeBill(priced);
  cutList_->finish(projectName_, date_);
  cutPlan_.finish(coilOrders);
  billText_->finish();
  billTextFile_->commit();
  report << "Wrote the bill readable to " << (shown_ / "bill.txt").string() << '\n';
  const BillTotal total = pieceBill_->total();
  report << "Bill totals: " << drawn_ << " flashings, " << rows_ << " count rows, "
         << counted(total.pieces, "piece", "pieces") << " cut, "
         << toUtf8(formatFixed(total.pieceLength, 2)) << " m of pieces, "
         << toUtf8(formatFixed(total.area, 2)) << " m² of sheet, "
         << toUtf8(formatFixed(total.weight, 2)) << " kg\n";
  report << "Wrote the bill to " << (shown_ / "bill.csv").string() << '\n';
  report << "Wrote the cut list to " << (shown_ / "cutlist.csv").string()
         << " and the cutting plan to " << (shown_ / "cutplan.csv").string() << '\n';
  report << "Wrote " << pictures_ << " profile pictures to " << shown_.string() << '\n';
  for (const std::string& flashing : coilStrips_.withoutWidth()) {
    report << "  " << flashing
           << " has no developed width in the database: left out of the coil order\n";
  }
  reportCoilOrders(report, coilOrders);
  report << "Wrote the coil order to " << (shown_ / "coil.csv").string() << " and "
         << (shown_ / "coil_total.csv").string() << '\n';
  if (priced != nullptr) {
    for (const std::string& unpriced : priced->unpriced()) {
      report << "  the prices name no sheet price for " << unpriced
             << ": its flashings' costs are left out\n";
    }
  }
  const shop::ShopBook book =
      shopSheets_.finish(toUtf8(projectName_), toUtf8(date_), toUtf8(thickness_),
                         std::move(coilOrders), *pieceBill_, priced);
  cairo::writeShopPdf(folder_ / "shop.pdf", book);
  report << "Wrote the shop drawings to " << (shown_ / "shop.pdf").string() << " (the cover, "
         << counted(book.flashings.size(), "flashing page", "flashing pages")
         << " and the coil pages)\n";
}

}  // namespace kvm::workshop
