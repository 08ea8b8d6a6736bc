// The poster renderer's progress on a terminal: the bar --batches draws,
// with the points played, their rate and the time left.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

// The bar of `width` characters, `done` of `total` filled.
std::string progress_bar(std::int64_t done, std::int64_t total, int width);

class PointsProgress {
 public:
  PointsProgress(std::FILE* errors, std::int64_t total);
  // Redraws the line at most a few times a second, and once more at the end.
  void report(std::int64_t done);
  static void report_to(void* progress, std::int64_t done) { static_cast<PointsProgress*>(progress)->report(done); }

 private:
  std::FILE* errors_;
  std::int64_t total_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_{};
  bool finished_ = false;
};
