#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "canvas/recording_canvas.h"

namespace kvm::workshop {

// Renders and compresses the bill's profile pictures on a thread of their own, so that the
// second core works on them while the job draws the next blocks. At most a few pictures wait,
// so memory stays bounded however long the bill. A picture that cannot be written fails the
// next submit or finish with its error.
class PictureWriter {
 public:
  PictureWriter();
  PictureWriter(const PictureWriter&) = delete;
  PictureWriter& operator=(const PictureWriter&) = delete;
  PictureWriter(PictureWriter&&) = delete;
  PictureWriter& operator=(PictureWriter&&) = delete;
  ~PictureWriter();

  void submit(std::vector<canvas::CanvasOp> ops, int width, int height, std::filesystem::path file);
  // Returns once every submitted picture is written.
  void finish();

 private:
  struct Picture {
    std::vector<canvas::CanvasOp> ops;
    int width = 0;
    int height = 0;
    std::filesystem::path file;
  };

  void run(const std::stop_token& stop);
  void rethrowFailure();

  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::deque<Picture> waiting_;
  bool busy_ = false;
  std::exception_ptr failure_;
  std::jthread worker_;  // last: it stops and joins before the queue goes
};

}  // namespace kvm::workshop
