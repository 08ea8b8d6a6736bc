// Peak memory of a 7680 x 4320 density count of the fern (four slots: 531 MB
// of counts) on one thread and on two, each in a process of its own so that
// the kernel's high-water mark belongs to that run alone. Baseline: the one
// thread's peak; the target is two threads within 1.2 times it. The cost of
// sharing the counts shows in the processor seconds beside it.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/example_table.h"
#include "poster/accumulation.h"

namespace {

constexpr std::int64_t WIDTH = 7680;
constexpr std::int64_t HEIGHT = 4320;
constexpr std::int64_t POINTS = 200000000;

struct RunCost {
  double peak_mib = 0.0;
  double cpu_seconds = 0.0;
  double wall_seconds = 0.0;
  bool ok = false;
};

double wall_now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

RunCost count_in_child(const IfsTable& table, int threads) {
  RunCost cost;
  const double begin = wall_now();
  const pid_t child = fork();
  if (child == 0) {
    AccumulationJob job;
    job.table = &table;
    job.seed = 1234;
    job.points = POINTS;
    job.canvas = {WIDTH, HEIGHT, 4, SHADE_DENSITY};
    job.transform = attractor_fit(attractor_measure(table, job.seed), WIDTH, HEIGHT, 0);
    job.threads = threads;
    SampleBuffer samples;
    _exit(accumulate(job, samples) ? 0 : 1);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return cost;
  cost.wall_seconds = wall_now() - begin;
  cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  cost.peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kibibytes on Linux
  cost.cpu_seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  return cost;
}

}  // namespace

int main() {
  IfsTable table;
  if (!load_example_table(IFS_SOURCE_DIR "/examples/fern.ifs", table)) {
    std::fputs("cannot read the fern\n", stderr);
    return 1;
  }
  std::printf("Density count of the fern at %lld x %lld, %lld points; one buffer of counts: %.0f MB\n",
              static_cast<long long>(WIDTH), static_cast<long long>(HEIGHT), static_cast<long long>(POINTS),
              static_cast<double>(WIDTH * HEIGHT * 4 * 4) / 1e6);
  const RunCost one = count_in_child(table, 1);
  const RunCost two = count_in_child(table, 2);
  if (!one.ok || !two.ok) {
    std::fputs("a count failed\n", stderr);
    return 1;
  }
  std::printf("1 thread : peak %7.0f MiB  1.00 x | %6.2f cpu-s %6.2f s\n", one.peak_mib, one.cpu_seconds,
              one.wall_seconds);
  std::printf("2 threads: peak %7.0f MiB  %4.2f x | %6.2f cpu-s %6.2f s (target: peak within 1.20 x)\n", two.peak_mib,
              two.peak_mib / one.peak_mib, two.cpu_seconds, two.wall_seconds);
  return two.peak_mib <= 1.2 * one.peak_mib ? 0 : 1;
}
