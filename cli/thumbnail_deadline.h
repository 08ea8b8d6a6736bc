// A time limit for work that must end whatever its input: when it passes,
// the process ends as if sent SIGTERM (temporary files removed, no output
// left), unless the deadline was dropped first.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class ThumbnailDeadline {
 public:
  explicit ThumbnailDeadline(int seconds);
  // Dropped: the work ended in time.
  ~ThumbnailDeadline();
  // False when the watch could not be started (no thread to be had): the
  // work must not begin then.
  bool armed() const { return watcher_.joinable(); }
  ThumbnailDeadline(const ThumbnailDeadline&) = delete;
  ThumbnailDeadline& operator=(const ThumbnailDeadline&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable dropped_signal_;
  bool dropped_ = false;
  std::thread watcher_;
};
