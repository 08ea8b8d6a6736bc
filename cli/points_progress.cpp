#include "cli/points_progress.h"

namespace {

constexpr int BAR_WIDTH = 40;
constexpr auto REDRAW_INTERVAL = std::chrono::milliseconds(200);

}  // namespace

std::string progress_bar(std::int64_t done, std::int64_t total, int width) {
  const std::int64_t filled = total > 0 ? done * width / total : width;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(static_cast<std::size_t>(width), '.');
  return bar;
}

PointsProgress::PointsProgress(std::FILE* errors, std::int64_t total)
    : errors_(errors), total_(total), start_(std::chrono::steady_clock::now()) {}

void PointsProgress::report(std::int64_t done) {
  if (finished_) return;
  const bool last = done >= total_;
  const auto now = std::chrono::steady_clock::now();
  if (!last && now - last_ < REDRAW_INTERVAL) return;
  last_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0.0 ? static_cast<double>(done) / seconds : 0.0;
  std::fprintf(errors_, "\r[%s] %.1f/%.1f M points, %.0f M/s", progress_bar(done, total_, BAR_WIDTH).c_str(),
               static_cast<double>(done) / 1e6, static_cast<double>(total_) / 1e6, rate / 1e6);
  if (last) {
    std::fprintf(errors_, ", %.1f s\n", seconds);
    finished_ = true;
  } else if (rate > 0.0) {
    std::fprintf(errors_, ", %.0f s left   ", static_cast<double>(total_ - done) / rate);
  }
  std::fflush(errors_);
}
