#include "platform/workshop/outputs/picture_writer.h"

#include <utility>

#include "platform/cairo/cairo_render.h"

namespace kvm::workshop {

namespace {

// Enough to keep the worker fed while the job draws; a picture's operations are small.
constexpr std::size_t kMostWaiting = 8;

}  // namespace

PictureWriter::PictureWriter() : worker_([this](const std::stop_token& stop) { run(stop); }) {}

PictureWriter::~PictureWriter() {
  worker_.request_stop();
  changed_.notify_all();
}

void PictureWriter::submit(std::vector<canvas::CanvasOp> ops, int width, int height,
                           std::filesystem::path file) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting || failure_; });
  rethrowFailure();
  waiting_.push_back({std::move(ops), width, height, std::move(file)});
  changed_.notify_all();
}

void PictureWriter::finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (waiting_.empty() && !busy_) || failure_; });
  rethrowFailure();
}

void PictureWriter::rethrowFailure() {
  if (failure_) {
    std::rethrow_exception(std::exchange(failure_, nullptr));
  }
}

void PictureWriter::run(const std::stop_token& stop) {
  for (;;) {
    Picture picture;
    {
      std::unique_lock lock(mutex_);
      if (!changed_.wait(lock, stop, [this] { return !waiting_.empty(); })) {
        return;
      }
      picture = std::move(waiting_.front());
      waiting_.pop_front();
      busy_ = true;
    }
    std::exception_ptr failed;
    try {
      cairo::renderToFile(picture.ops, picture.width, picture.height, cairo::ImageFormat::Png,
                          picture.file);
    } catch (...) {
      failed = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      busy_ = false;
      if (failed && !failure_) {
        failure_ = failed;
        waiting_.clear();  // the job stops at its next submit; the rest would be thrown away
      }
    }
    changed_.notify_all();
  }
}

}  // namespace kvm::workshop
