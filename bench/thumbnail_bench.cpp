// A file manager's thumbnail of each bundled example at 128, 256 and 1024
// pixels, the whole run as the file manager starts it (start-up, load,
// render, PNG): wall-clock and processor seconds and the peak memory. Each
// run is a child process of its own, so its peak is its own.
//
// Baseline: one second, the longest a folder's thumbnails may each take
// before browsing it feels slow; each run prints how far under it stays.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/child_run.h"
#include "cli/offscreen_render.h"

namespace {

constexpr double BASELINE_SECONDS = 1.0;

ChildRun thumbnail_in_child(const std::string& ifs, const std::string& output, int size) {
  return run_in_child([&] { return ifs_render_main({"--thumbnail", std::to_string(size), ifs, output}, stdout, stderr); });
}

}  // namespace

int main() {
  const std::string output = "/tmp/ifs_thumbnail_bench_" + std::to_string(getpid()) + ".png";
  std::printf("Thumbnails of the examples (baseline: %.0f s each)\n", BASELINE_SECONDS);
  std::printf("%-16s %6s %10s %10s %10s %12s\n", "file", "size", "wall s", "cpu s", "peak MiB", "x baseline");
  int failures = 0;
  for (const char* name : {"fern.ifs", "classics.ifs", "dragon.ifs", "spiral.ifs"}) {
    for (const int size : {128, 256, 1024}) {
      const ChildRun run = thumbnail_in_child(std::string(IFS_SOURCE_DIR "/examples/") + name, output, size);
      if (!run.ok) {
        std::printf("%-16s %6d   failed\n", name, size);
        ++failures;
        continue;
      }
      std::printf("%-16s %6d %10.3f %10.3f %10.1f %12.1f\n", name, size, run.seconds, run.cpu_seconds,
                  static_cast<double>(run.peak_kib) / 1024.0, BASELINE_SECONDS / run.seconds);
    }
  }
  std::remove(output.c_str());
  return failures == 0 ? 0 : 1;
}
