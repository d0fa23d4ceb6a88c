#include "tests/shop/sample_book.h"

#include <stdexcept>

#include "base/text.h"
#include "shop/profile_geometry.h"
#include "storage/builtin_database.h"

namespace kvm::shop::testing {

Flashing builtinFlashing(const std::u16string& name) {
  for (const FlashingLibrary& library : builtinLibraryTable()) {
    for (const Flashing& flashing : library.Flashings) {
      if (flashing.Name == name) return flashing;
    }
  }
  throw std::invalid_argument("no built-in flashing " + toUtf8(name));
}

namespace {

FlashingSheet sheet(std::size_t block, const std::u16string& name, const std::string& colour,
                    std::vector<CutRow> rows, double pricePerSquareMetre) {
  FlashingSheet s;
  s.block = block;
  s.name = toUtf8(name);
  s.colour = colour;
  s.profile = builtinFlashing(name);
  s.developedWidth = s.profile.DevelopedWidth;
  s.bends = bendCount(s.profile);
  s.rows = std::move(rows);
  double millimetres = 0;
  for (const CutRow& row : s.rows) {
    s.piecesToCut += row.pieces;
    millimetres += static_cast<double>(row.pieces) * static_cast<double>(row.pieceLength);
  }
  s.runLength = millimetres / 1000;
  s.area = s.runLength * s.developedWidth / 1000;
  s.weight = kvm::shop::sheetWeight(s.area, 0.5);
  s.cost = s.area * pricePerSquareMetre + s.bends * s.runLength * 0.8;
  return s;
}

CoilOrder coilOf(const ShopBook& book, const std::string& colour) {
  CoilOrder order;
  order.group = {colour, 0.5, 1250, 10, {}};
  for (const FlashingSheet& s : book.flashings) {
    if (s.colour != colour) continue;
    for (const CutRow& row : s.rows) {
      order.group.pieces.push_back({s.name, s.developedWidth, static_cast<double>(row.pieceLength),
                                    static_cast<int>(row.pieces)});
    }
  }
  order.plan = planCoil(order.group);
  return order;
}

}  // namespace

ShopBook sampleBook(Paper paper) {
  ShopBook book;
  book.project = "示范工程车间一";
  book.date = "2026-12-07";
  book.thickness = "0.5";
  book.currency = "CNY";
  book.paper = paper;
  book.flashings.push_back(
      sheet(1, u"屋脊包角", "天蓝色", {{3863, 16, "1–4"}, {2350, 2, "5"}}, 38.5));
  book.flashings.push_back(
      sheet(2, u"山墙包角", "天蓝色", {{3900, 12, "1–6"}, {1275, 6, "1–6"}, {800, 1, "7"}}, 38.5));
  book.flashings.push_back(
      sheet(3, u"窗顶包角", "天蓝色", {{2500, 10, "1–10"}, {1800, 6, "11–16"}}, 38.5));
  book.flashings.push_back(sheet(4, u"转角包角", "白灰色", {{3100, 4, "1, 2, 4, 9"}}, 41));
  for (const std::string colour : {"天蓝色", "白灰色"}) {
    ColourTotal total{colour, 0.5, 0, 0, 0, 0.0};
    for (const FlashingSheet& s : book.flashings) {
      if (s.colour != colour) continue;
      total.runLength += s.runLength;
      total.area += s.area;
      total.weight += s.weight;
      *total.cost += *s.cost;
    }
    book.totals.push_back(total);
    book.coil.push_back(coilOf(book, colour));
  }
  return book;
}

}  // namespace kvm::shop::testing
