#include "platform/workshop/sample/sample_project.h"

namespace kvm::workshop {

std::string_view sampleProject() {
  // The flashing lines are on the layers of plan.dxf (sample_plan.cpp): plan at the origin,
  // front elevation below it, back elevation below that; the bill to the right.
  return R"json({
  "project": {"name": "示范工程车间一", "plateThickness": "0.5", "lengthClassStep": "300", "textHeight": "300"},
  "billOrigin": [36000, 14800],
  "outline": [
    {"start": [0, 0], "end": [30000, 0]},
    {"start": [30000, 0], "end": [30000, 14800]},
    {"start": [30000, 14800], "end": [0, 14800]},
    {"start": [0, 14800], "end": [0, 0]},
    {"start": [0, -9850], "end": [30000, -9850]},
    {"start": [30000, -9850], "end": [30000, -4000]},
    {"start": [30000, -4000], "end": [0, -4000]},
    {"start": [0, -4000], "end": [0, -9850]},
    {"start": [0, -17850], "end": [30000, -17850]},
    {"start": [30000, -17850], "end": [30000, -12000]},
    {"start": [30000, -12000], "end": [0, -12000]},
    {"start": [0, -12000], "end": [0, -17850]}
  ],
  "plan": "plan.dxf",
  "coil": {"width": 1250, "trim": 0},
  "prices": {"sheet": {"天蓝色/0.5": 38.5}, "perBendPerMetre": 0.8, "currency": "CNY"},
  "currentUse": [
    {"flashing": "彩钢板屋面:屋脊包角", "mode": 0},
    {"flashing": "彩钢板屋面:山墙包角", "mode": 0},
    {"flashing": "彩钢墙面:转角包角", "mode": 2},
    {"flashing": "彩钢墙面:窗顶包角", "mode": 1},
    {"flashing": "彩钢墙面:窗侧包角", "mode": 0, "layers": ["BJ-窗侧"]},
    {"flashing": "彩钢墙面:上窗底包角", "mode": 2}
  ]
}
)json";
}

}  // namespace kvm::workshop
