// Writes the hand-made book as shop.pdf and its numbers as book.json, for the PDF's readers.
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include "platform/cairo/cairo_render.h"
#include "platform/cairo/shop/shop_pdf.h"
#include "tests/shop/sample_book.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: shop_pdf_sample OUT_DIR [A4|A3|letter]\n";
    return 2;
  }
  using kvm::shop::Paper;
  const std::string paper = argc > 2 ? argv[2] : "A4";
  const Paper chosen = paper == "A3" ? Paper::A3 : paper == "letter" ? Paper::Letter : Paper::A4;
  const kvm::shop::ShopBook book = kvm::shop::testing::sampleBook(chosen);
  const std::filesystem::path out(argv[1]);
  try {
    kvm::cairo::writeShopPdf(out / "shop.pdf", book);
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  kvm::cairo::releaseFontCaches();  // no cairo object is left
  nlohmann::json flashings = nlohmann::json::array();
  for (const kvm::shop::FlashingSheet& s : book.flashings) {
    nlohmann::json rows = nlohmann::json::array();
    for (const kvm::shop::CutRow& row : s.rows) {
      rows.push_back(
          {{"piece_length", row.pieceLength}, {"pieces", row.pieces}, {"lines", row.lines}});
    }
    flashings.push_back({{"block", s.block},
                         {"name", s.name},
                         {"colour", s.colour},
                         {"developed_width", s.developedWidth},
                         {"bends", s.bends},
                         {"rows", rows},
                         {"pieces_to_cut", s.piecesToCut},
                         {"run_length_m", s.runLength},
                         {"area_m2", s.area},
                         {"weight_kg", s.weight},
                         {"cost", *s.cost}});
  }
  nlohmann::json coil = nlohmann::json::array();
  for (const kvm::CoilOrder& order : book.coil) {
    coil.push_back({{"colour", order.group.colour},
                    {"patterns", order.plan.patterns.size()},
                    {"coil_length_mm", order.plan.coilLength},
                    {"sheets", order.plan.sheets}});
  }
  std::ofstream(out / "book.json") << nlohmann::json{
      {"project", book.project}, {"date", book.date}, {"flashings", flashings}, {"coil", coil}};
  return 0;
}
