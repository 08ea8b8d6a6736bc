// The command-line render of the fern for 10, 100, 1000 and 5000 ticks: time
// per tick, points per second (by the clock, and by the processor time the
// render used, which other work on a shared machine disturbs less) and the
// peak memory of the rendering process.
// Each render runs in a child process of its own, so that its peak resident
// size is its own and not the largest of the runs so far.
//
// Baseline: the desktop program draws one tick every 1500 ms; each run prints
// how many times faster than that the renderer draws its ticks.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/child_run.h"
#include "cli/offscreen_render.h"

namespace {

constexpr double TICK_INTERVAL_MS = 1500.0;
constexpr double POINTS_PER_TICK = 20001.0;

ChildRun render_in_child(const std::string& ifs, const std::string& output, long batches) {
  return run_in_child([&] {
    const std::vector<std::string> arguments{"--output", output, ifs, "--batches", std::to_string(batches)};
    return ifs_render_main(arguments, stdout, stderr);
  });
}

}  // namespace

int main() {
  const std::string ifs = IFS_SOURCE_DIR "/examples/fern.ifs";
  const std::string output = "/tmp/ifs_render_bench_" + std::to_string(getpid()) + ".png";
  std::printf("Command-line render of %s (baseline: one tick per %.0f ms)\n", ifs.c_str(), TICK_INTERVAL_MS);
  std::printf("%8s %12s %14s %16s %20s %12s %14s\n", "ticks", "total s", "ms per tick", "points per s",
              "points per cpu s", "peak MiB", "x baseline");
  int failures = 0;
  for (const long ticks : {10L, 100L, 1000L, 5000L}) {
    const ChildRun run = render_in_child(ifs, output, ticks);
    if (!run.ok) {
      std::printf("%8ld   render failed\n", ticks);
      ++failures;
      continue;
    }
    const double ms_per_tick = run.seconds * 1000.0 / static_cast<double>(ticks);
    const double points = POINTS_PER_TICK * static_cast<double>(ticks);
    std::printf("%8ld %12.3f %14.3f %16.0f %20.0f %12.1f %14.0f\n", ticks, run.seconds, ms_per_tick,
                points / run.seconds, points / run.cpu_seconds, static_cast<double>(run.peak_kib) / 1024.0,
                TICK_INTERVAL_MS / ms_per_tick);
  }
  std::remove(output.c_str());
  return failures == 0 ? 0 : 1;
}
