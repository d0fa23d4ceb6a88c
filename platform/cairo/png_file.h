#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kvm::cairo {

// Writes an opaque picture as an 8-bit RGB PNG, compressed for speed rather than size: a bill
// writes hundreds of them, and cairo's own writer spends most of their time compressing.
// `pixels` are rows top first, one 0x??RRGGBB word a pixel. The file is replaced whole or not
// at all: RenderError says why not.
void writeFastPng(const std::filesystem::path& file, int width, int height,
                  const std::vector<uint32_t>& pixels);

}  // namespace kvm::cairo
