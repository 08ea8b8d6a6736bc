// Peak memory of a 7680 x 4320 density count of the fern (four slots: 531 MB
// of counts) on one thread and on two, each in a process of its own so that
// the kernel's high-water mark belongs to that run alone. Baseline: the one
// thread's peak; the target is two threads within 1.2 times it. The cost of
// sharing the counts shows in the processor seconds beside it.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/child_run.h"
#include "bench/example_table.h"
#include "poster/accumulation.h"

namespace {

constexpr std::int64_t WIDTH = 7680;
constexpr std::int64_t HEIGHT = 4320;
constexpr std::int64_t POINTS = 200000000;

ChildRun count_in_child(const IfsTable& table, int threads) {
  return run_in_child([&] {
    AccumulationJob job;
    job.table = &table;
    job.seed = 1234;
    job.points = POINTS;
    job.canvas = {WIDTH, HEIGHT, 4, SHADE_DENSITY};
    job.transform = attractor_fit(attractor_measure(table, job.seed), WIDTH, HEIGHT, 0);
    job.threads = threads;
    SampleBuffer samples;
    return accumulate(job, samples) ? 0 : 1;
  });
}

}  // namespace

int main() {
  IfsTable table;
  if (!load_fern(table)) return 1;
  std::printf("Density count of the fern at %lld x %lld, %lld points; one buffer of counts: %.0f MB\n",
              static_cast<long long>(WIDTH), static_cast<long long>(HEIGHT), static_cast<long long>(POINTS),
              static_cast<double>(WIDTH * HEIGHT * 4 * 4) / 1e6);
  const ChildRun one = count_in_child(table, 1);
  const ChildRun two = count_in_child(table, 2);
  if (!one.ok || !two.ok) {
    std::fputs("a count failed\n", stderr);
    return 1;
  }
  const double one_mib = static_cast<double>(one.peak_kib) / 1024.0;
  const double two_mib = static_cast<double>(two.peak_kib) / 1024.0;
  std::printf("1 thread : peak %7.0f MiB  1.00 x | %6.2f cpu-s %6.2f s\n", one_mib, one.cpu_seconds, one.seconds);
  std::printf("2 threads: peak %7.0f MiB  %4.2f x | %6.2f cpu-s %6.2f s (target: peak within 1.20 x)\n", two_mib,
              two_mib / one_mib, two.cpu_seconds, two.seconds);
  return two_mib <= 1.2 * one_mib ? 0 : 1;
}
