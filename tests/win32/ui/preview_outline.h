#pragma once

#include <vector>

#include "canvas/recording_canvas.h"

namespace kvm::testing {

struct Vertex {
  int x = 0;
  int y = 0;
};

// The outline's own operations (pens and lines) out of a recorded preview: texts drawn near a
// vertex would light its pixel whatever the outline did.
inline std::vector<canvas::CanvasOp> outlineOps(const std::vector<canvas::CanvasOp>& ops) {
  std::vector<canvas::CanvasOp> outline;
  for (const canvas::CanvasOp& op : ops) {
    if (std::holds_alternative<canvas::op::Pen>(op) ||
        std::holds_alternative<canvas::op::MoveTo>(op) ||
        std::holds_alternative<canvas::op::LineTo>(op)) {
      outline.push_back(op);
    }
  }
  return outline;
}

// Every point a line of the outline starts or ends at, inside an area of width × height with
// the four pixels that meet at it (a point on the top or left edge has two of them outside).
inline std::vector<Vertex> outlineVertices(const std::vector<canvas::CanvasOp>& ops, int width,
                                           int height) {
  std::vector<Vertex> vertices;
  bool moved = false;
  Vertex at;
  for (const canvas::CanvasOp& op : ops) {
    if (const auto* move = std::get_if<canvas::op::MoveTo>(&op)) {
      at = {move->x, move->y};
      moved = true;
    } else if (const auto* line = std::get_if<canvas::op::LineTo>(&op)) {
      if (moved) {
        vertices.push_back(at);
        moved = false;
      }
      at = {line->x, line->y};
      vertices.push_back(at);
    }
  }
  std::erase_if(vertices, [&](const Vertex& v) {
    return v.x < 1 || v.y < 1 || v.x >= width || v.y >= height;
  });
  return vertices;
}

}  // namespace kvm::testing
