#include "platform/workshop/sample/sample_plan.h"

#include "platform/dxf/dxf_writer.h"

namespace kvm::workshop {

namespace {

using dxf::Line;
using dxf::Point;

Line line(double x1, double y1, double x2, double y2, const char16_t* layer) {
  return Line{Point{x1, y1, 0}, Point{x2, y2, 0}, layer, 256};
}

// A window's four flashings about its lower left corner.
dxf::Block window(const char16_t* name, double width, double height) {
  dxf::Block block{name, {}, {}, {}};
  block.lines = {line(0, height, width, height, u"窗顶包角"), line(0, 0, 0, height, u"BJ-窗侧"),
                 line(width, 0, width, height, u"BJ-窗侧"), line(0, 0, width, 0, u"上窗底包角")};
  return block;
}

void insert(dxf::DxfWriter& plan, const char16_t* block, double x, double y) {
  plan.add(dxf::Insert{block, {x, y, 0}, 1, 1, 0, u"0"});
}

}  // namespace

void writeSamplePlan(const std::filesystem::path& file) {
  // The outline grey, each flashing's layer a colour of its own.
  dxf::Tables tables;
  int16_t colour = 1;
  for (const char16_t* layer :
       {u"屋脊包角", u"山墙包角", u"转角包角", u"窗顶包角", u"BJ-窗侧", u"上窗底包角"}) {
    tables.layers.push_back({layer, colour++});
  }
  tables.layers.insert(tables.layers.begin(), {u"0", 8});
  dxf::DxfWriter plan(file, tables,
                      {window(u"窗3000x1500", 3000, 1500), window(u"窗2400x1200", 2400, 1200)});

  // The roof plan and, below it, the front and the back elevation, as in the project file.
  for (const double bottom : {0.0, -9850.0, -17850.0}) {
    const double top = bottom == 0 ? 14800 : bottom + 5850;
    plan.add(dxf::Polyline{
        {{0, bottom, 0}, {30000, bottom, 0}, {30000, top, 0}, {0, top, 0}}, true, u"0", 256});
  }
  plan.add(line(0, 7400, 30000, 7400, u"屋脊包角"));
  for (const double x : {0.0, 30000.0}) {
    plan.add(dxf::Polyline{{{x, 0, 0}, {x, 7400, 0}, {x, 14800, 0}}, false, u"山墙包角", 256});
  }
  for (const double bottom : {-9850.0, -17850.0}) {
    plan.add(line(0, bottom, 0, bottom + 5850, u"转角包角"));
    plan.add(line(30000, bottom, 30000, bottom + 5850, u"转角包角"));
  }
  for (const double x : {3000.0, 10000.0, 17000.0, 24000.0}) {
    insert(plan, u"窗3000x1500", x, -8650);
  }
  for (const double x : {6000.0, 21600.0}) {
    insert(plan, u"窗2400x1200", x, -16350);
  }
  plan.finish();
}

}  // namespace kvm::workshop
