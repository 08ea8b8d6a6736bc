#include "cli/thumbnail_deadline.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <system_error>

namespace {

// What the process ends with when SIGTERM cannot end it (it is ignored).
constexpr int EXIT_TIMED_OUT = 124;

[[noreturn]] void end_process() {
  std::raise(SIGTERM);
  std::_Exit(EXIT_TIMED_OUT);
}

}  // namespace

ThumbnailDeadline::ThumbnailDeadline(int seconds) {
  try {
    watcher_ = std::thread([this, seconds] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!dropped_signal_.wait_for(lock, std::chrono::seconds(seconds), [this] { return dropped_; })) end_process();
    });
  } catch (const std::system_error&) {
    // Left unarmed: armed() says so.
  }
}

ThumbnailDeadline::~ThumbnailDeadline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    dropped_ = true;
  }
  dropped_signal_.notify_one();
  if (watcher_.joinable()) watcher_.join();
}
