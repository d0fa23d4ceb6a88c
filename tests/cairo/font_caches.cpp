#include <gtest/gtest.h>

#include <memory>

#include "platform/cairo/cairo_render.h"

namespace {

// The font caches live until the end of the test program; freeing them keeps the leak checker
// to our own allocations.
class FontCaches : public ::testing::Environment {
 public:
  void TearDown() override { kvm::cairo::releaseFontCaches(); }
};

[[maybe_unused]] ::testing::Environment* const kFontCaches =
    ::testing::AddGlobalTestEnvironment(std::make_unique<FontCaches>().release());

}  // namespace
