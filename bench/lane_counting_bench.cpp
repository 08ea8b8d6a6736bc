// The poster counting loop against a bare single-lane loop over the same
// streams: a 100 M-point density count of the fern at 1920 x 1080 on one
// thread, in processor time (a busy machine disturbs it less than the
// clock). The bare loop is the scalar rule written out once more: seed the
// chunk's generator, take the unplotted steps, then per point choose the
// map, move the point, find its sample and add one. Every path's counts are
// checked against the bare loop's before its time is printed.
#include <time.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "bench/example_table.h"
#include "poster/accumulation.h"

namespace {

constexpr std::int64_t POINTS = 100000000;
constexpr std::int64_t WIDTH = 1920;
constexpr std::int64_t HEIGHT = 1080;
constexpr int RUNS = 2;

double cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Work>
double best_cpu_seconds(const Work& work) {
  double best = 1e30;
  for (int run = 0; run < RUNS; ++run) {
    const double begin = cpu_seconds();
    work();
    const double spent = cpu_seconds() - begin;
    best = spent < best ? spent : best;
  }
  return best;
}

std::vector<std::uint32_t> bare_loop(const AccumulationJob& job) {
  const SampleCanvas& canvas = job.canvas;
  std::vector<std::uint32_t> counts(static_cast<std::size_t>(canvas.elements()));
  const ChoiceTable choices = choice_table_make(*job.table, canvas.slots);
  const MapRows maps = ifs_map_rows(*job.table);
  const SampleTransform& view = job.transform;
  for (std::int64_t chunk = 0; chunk < chunk_count(job.points); ++chunk) {
    RandomGenerator generator;
    stream_start(generator, job.seed, static_cast<std::uint32_t>(chunk));
    StreamPoint point;
    for (int step = 0; step < CHUNK_WARM_UP_STEPS; ++step) stream_step(generator, choices, maps, point);
    const std::int64_t end = std::min(job.points, (chunk + 1) * CHUNK_POINTS);
    for (std::int64_t n = chunk * CHUNK_POINTS; n < end; ++n) {
      const std::uint32_t slot = stream_step(generator, choices, maps, point);
      const double column = static_cast<double>(point.x) * view.scale_x + view.offset_x;
      const double row = static_cast<double>(point.y) * view.scale_y + view.offset_y;
      if (!(column >= 0.0 && column < WIDTH && row >= 0.0 && row < HEIGHT)) continue;
      std::uint32_t& count = counts[slot * canvas.samples() + static_cast<std::int64_t>(row) * WIDTH +
                                    static_cast<std::int64_t>(column)];
      count += count != std::numeric_limits<std::uint32_t>::max();
    }
  }
  return counts;
}

bool same_counts(const SampleBuffer& buffer, const std::vector<std::uint32_t>& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (buffer.counts[i] != expected[i]) return false;
  return true;
}

}  // namespace

int main() {
  IfsTable table;
  if (!load_fern(table)) return 1;
  AccumulationJob job;
  job.table = &table;
  job.seed = 1234;
  job.points = POINTS;
  job.canvas = {WIDTH, HEIGHT, 4, SHADE_DENSITY};
  job.transform = attractor_fit(attractor_measure(table, job.seed), WIDTH, HEIGHT, 0);
  job.threads = 1;
  std::printf("Density count of the fern, %lld points at %lld x %lld, 1 thread, best of %d, processor time\n",
              static_cast<long long>(POINTS), static_cast<long long>(WIDTH), static_cast<long long>(HEIGHT), RUNS);

  std::vector<std::uint32_t> expected;
  const double bare = best_cpu_seconds([&] { expected = bare_loop(job); });
  std::printf("%-28s %7.3f cpu-s %7.1f M points per cpu-s   1.00 x\n", "bare single-lane loop", bare,
              POINTS / bare / 1e6);
  int failures = 0;
  for (const LanePath path : {LANES_SCALAR, LANES_SSE2, LANES_AVX2, LANES_AVX512}) {
    if (!lane_kernel_for(path, job.kernel)) {
      std::printf("%-28s not on this processor\n", lane_path_name(path));
      continue;
    }
    SampleBuffer samples;
    const double spent = best_cpu_seconds([&] {
      if (!accumulate(job, samples)) std::fputs("out of memory\n", stderr);
    });
    const bool same = samples.counts != nullptr && same_counts(samples, expected);
    failures += same ? 0 : 1;
    const std::string what = std::string("counting loop, ") + lane_path_name(path);
    std::printf("%-28s %7.3f cpu-s %7.1f M points per cpu-s %6.2f x  counts %s\n", what.c_str(), spent,
                POINTS / spent / 1e6, bare / spent, same ? "the same" : "DIFFER");
  }
  return failures == 0 ? 0 : 1;
}
