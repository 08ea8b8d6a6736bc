// Points per second of a 100 M-point density render of the fern at
// 1920 x 1080, on one thread and on every core, counting only and all the
// way to the PNG file.
//
// Baseline: a bare flat loop over the same points (the same generator and
// map choice, evaluated in double and stored as float) that plots each point
// into a 24-bit buffer and does nothing else. Each figure is the best of
// three runs, in wall-clock and in processor time (which a busy machine
// disturbs less); the ratios compare runs made seconds apart.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/colour_table.h"
#include "bench/example_table.h"
#include "poster/accumulation.h"
#include "poster/point_streams.h"
#include "poster/poster_render.h"

namespace {

constexpr std::int64_t POINTS = 100000000;
constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr int RUNS = 3;

double process_cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall-clock and processor seconds of the fastest run. On a busy machine the
// processor seconds still say what the work costs.
struct Timing {
  double wall = 1e30;
  double cpu = 1e30;
};

template <typename Work>
Timing best_of_runs(const Work& work) {
  Timing best;
  for (int run = 0; run < RUNS; ++run) {
    const double cpu_begin = process_cpu_seconds();
    const auto begin = std::chrono::steady_clock::now();
    work();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (wall < best.wall) best = {wall, process_cpu_seconds() - cpu_begin};
  }
  return best;
}

// The baseline: one stream, each point truncated to a pixel of a 24-bit picture.
std::uint64_t bare_flat_loop(const IfsTable& table, const SampleTransform& transform) {
  std::vector<std::uint8_t> picture(static_cast<std::size_t>(WIDTH) * HEIGHT * 3);
  const ChoiceTable choices = choice_table_make(table, COLOUR_COUNT);
  const MapRows maps = ifs_map_rows(table);
  RandomGenerator generator;
  stream_start(generator, 1234, 0);
  StreamPoint point;
  for (std::int64_t n = 0; n < POINTS; ++n) {
    const std::uint32_t slot = stream_step(generator, choices, maps, point);
    const auto column = static_cast<float>(point.x * transform.scale_x + transform.offset_x);
    const auto row = static_cast<float>(point.y * transform.scale_y + transform.offset_y);
    if (!(column >= 0.0f && column < WIDTH && row >= 0.0f && row < HEIGHT)) continue;
    std::uint8_t* pixel = &picture[(static_cast<std::size_t>(row) * WIDTH + static_cast<std::size_t>(column)) * 3];
    const std::uint32_t colour = INITIAL_COLOURS.colours[slot];
    pixel[0] = static_cast<std::uint8_t>(colour >> 16);
    pixel[1] = static_cast<std::uint8_t>(colour >> 8);
    pixel[2] = static_cast<std::uint8_t>(colour);
  }
  std::uint64_t lit = 0;  // read back so that the loop cannot be left out
  for (const std::uint8_t byte : picture) lit += byte != 0;
  return lit;
}

PosterSettings density_settings(int threads) {
  PosterSettings settings;
  settings.width = WIDTH;
  settings.height = HEIGHT;
  settings.points = POINTS;
  settings.shade = SHADE_DENSITY;
  settings.palette.assign(std::begin(INITIAL_COLOURS.colours), std::end(INITIAL_COLOURS.colours));
  settings.threads = threads;
  return settings;
}

void report(const char* what, const Timing& timing, const Timing& baseline) {
  const double points = static_cast<double>(POINTS);
  std::printf("%-38s %7.3f s %8.1f M/s %6.2f x  | cpu %7.3f s %8.1f M/s per cpu-s %6.2f x\n", what, timing.wall,
              points / timing.wall / 1e6, baseline.wall / timing.wall, timing.cpu, points / timing.cpu / 1e6,
              baseline.cpu / timing.cpu);
}

}  // namespace

int main() {
  IfsTable table;
  if (!load_fern(table)) return 1;
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::printf("Density render of the fern, %lld points at %d x %d; %d cores; best of %d runs\n",
              static_cast<long long>(POINTS), WIDTH, HEIGHT, cores, RUNS);
  std::printf("wall-clock seconds, points per second and ratio to the bare loop | the same in processor time\n");

  AccumulationJob job;
  job.table = &table;
  job.seed = 1234;
  job.points = POINTS;
  job.canvas = {WIDTH, HEIGHT, 4, SHADE_DENSITY};
  job.transform = attractor_fit(attractor_measure(table, 1234), WIDTH, HEIGHT, 0);

  std::uint64_t lit = 0;
  const Timing bare = best_of_runs([&] { lit = bare_flat_loop(table, job.transform); });
  report("bare flat loop (baseline), 1 thread", bare, bare);

  Timing counting[2];
  for (int t = 0; t < 2; ++t) {
    job.threads = t == 0 ? 1 : cores;
    counting[t] = best_of_runs([&] {
      SampleBuffer samples;
      if (!accumulate(job, samples)) std::fputs("out of memory\n", stderr);
    });
  }
  report("density counting, 1 thread", counting[0], bare);
  report("density counting, all cores", counting[1], bare);

  const std::string output = "/tmp/ifs_poster_bench_" + std::to_string(getpid()) + ".png";
  const PosterOutput file{std::u16string(output.begin(), output.end()), true, "bench", RemakeNames{"", "bench.png", "fern.ifs"}, {}};
  Timing whole[2];
  for (int t = 0; t < 2; ++t) {
    whole[t] = best_of_runs([&] {
      if (poster_render(table, density_settings(t == 0 ? 1 : cores), file) != POSTER_RENDERED)
        std::fputs("render failed\n", stderr);
    });
  }
  std::remove(output.c_str());
  report("density render to PNG, 1 thread", whole[0], bare);
  report("density render to PNG, all cores", whole[1], bare);
  std::printf("wall-clock scaling on %d cores: counting %.2f x, whole render %.2f x (lit bytes %llu)\n", cores,
              counting[0].wall / counting[1].wall, whole[0].wall / whole[1].wall, static_cast<unsigned long long>(lit));
  return 0;
}
