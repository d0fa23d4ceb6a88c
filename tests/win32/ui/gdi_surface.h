#pragma once

#include "platform/win32/windows_headers.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "canvas/recording_canvas.h"
#include "platform/win32/ui/gdi_replay.h"
#include "tests/win32/ui/bitmap_file.h"

namespace kvm::testing {

// A 32-bit bitmap in memory that GDI replays canvas operations onto and a test reads back
// pixel by pixel.
class GdiSurface {
 public:
  GdiSurface(int width, int height)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr || bits == nullptr) {
      release();
      throw std::runtime_error("cannot make the memory bitmap");
    }
    bits_ = static_cast<const uint32_t*>(bits);
    before_ = SelectObject(dc_, bitmap_);
  }
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;
  GdiSurface(GdiSurface&&) = delete;
  GdiSurface& operator=(GdiSurface&&) = delete;
  ~GdiSurface() { release(); }

  void replay(const std::vector<canvas::CanvasOp>& ops) {
    win32::replayCanvas(dc_, SIZE{width_, height_}, ops);
    GdiFlush();
  }

  // The colour 0x00RRGGBB; the unused top byte is masked off.
  [[nodiscard]] uint32_t at(int x, int y) const {
    return bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +  // NOLINT
                 static_cast<std::size_t>(x)] &
           0xFFFFFFU;
  }

  [[nodiscard]] Bitmap picture() const {
    Bitmap copy{width_, height_, {}};
    copy.pixels.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    std::memcpy(copy.pixels.data(), bits_, copy.pixels.size() * sizeof(uint32_t));
    for (uint32_t& pixel : copy.pixels) {
      pixel &= 0xFFFFFFU;
    }
    return copy;
  }

 private:
  void release() noexcept {
    if (before_ != nullptr) {
      SelectObject(dc_, before_);
    }
    if (bitmap_ != nullptr) {
      DeleteObject(bitmap_);
    }
    if (dc_ != nullptr) {
      DeleteDC(dc_);
    }
  }

  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ before_ = nullptr;
  const uint32_t* bits_ = nullptr;
};

}  // namespace kvm::testing
