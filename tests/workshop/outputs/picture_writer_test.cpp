#include "platform/workshop/outputs/picture_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/cairo/cairo_render.h"
#include "tests/storage/temp_folder.h"

namespace kvm::workshop {
namespace {

std::vector<canvas::CanvasOp> aLine() {
  canvas::RecordingCanvas canvas;
  canvas.clear();
  canvas.pen(2, {255, 255, 255});
  canvas.moveTo(1, 1);
  canvas.lineTo(30, 20);
  return canvas.ops();
}

TEST(picture_writer_test, every_submitted_picture_is_written_by_finish) {
  const TempFolder folder;
  PictureWriter writer;
  for (int i = 0; i < 30; ++i) {
    writer.submit(aLine(), 40, 30, folder / (std::to_string(i) + ".png"));
  }
  writer.finish();
  for (int i = 0; i < 30; ++i) {
    const auto file = folder / (std::to_string(i) + ".png");
    ASSERT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(cairo::imageFormatFor(file), cairo::ImageFormat::Png);
    EXPECT_GT(std::filesystem::file_size(file), 0U);
  }
}

TEST(picture_writer_test, a_picture_that_cannot_be_written_fails_the_job) {
  const TempFolder folder;
  PictureWriter writer;
  writer.submit(aLine(), 40, 30, folder / "missing" / "a.png");
  // The failure surfaces at the latest when the job finishes; later pictures are not made.
  EXPECT_THROW(
      {
        for (int i = 0; i < 20; ++i) {
          writer.submit(aLine(), 40, 30, folder / (std::to_string(i) + ".png"));
        }
        writer.finish();
      },
      std::exception);
}

TEST(picture_writer_test, ending_without_finish_stops_the_worker) {
  const TempFolder folder;
  {
    PictureWriter writer;
    for (int i = 0; i < 5; ++i) {
      writer.submit(aLine(), 400, 300, folder / (std::to_string(i) + ".png"));
    }
  }  // an interrupted job: the destructor must not hang or crash
}

}  // namespace
}  // namespace kvm::workshop
