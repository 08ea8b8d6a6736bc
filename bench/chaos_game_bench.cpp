// Speed of the chaos game without drawing: single steps and one timer tick's
// batch of 20001 steps over the built-in table and the fern.
//
// Baseline: the drawing timer asks for 20001 points every 1.5 s, about 13334
// points per second; each run prints its rate divided by that need.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "app/chaos_game.h"
#include "runtime/core/random.h"

namespace {

constexpr double REQUIRED_POINTS_PER_SECOND = BATCH_POINTS / 1.5;

// Barnsley's fern, the usual four-map table.
void use_fern() {
  constexpr float FERN[4][IFS_PARAMETER_COUNT] = {
      {0.0f, 0.0f, 0.0f, 0.16f, 0.0f, 0.0f, 0.01f},
      {0.85f, 0.04f, -0.04f, 0.85f, 0.0f, 1.6f, 0.85f},
      {0.2f, -0.26f, 0.23f, 0.22f, 0.0f, 1.6f, 0.07f},
      {-0.15f, 0.28f, 0.26f, 0.24f, 0.0f, 0.44f, 0.07f},
  };
  IfsTable& table = app_state().table;
  ifs_table_resize(table, 4);
  for (int map = 0; map < 4; ++map)
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter) ifs_set(table, parameter, map, FERN[map][parameter]);
}

void prepare(bool fern) {
  app_state_reset();
  if (fern) use_fern();
  random_seed(1234);
  measure_bounds();
}

void report_rate(benchmark::State& state, double points) {
  state.counters["points_per_second"] = benchmark::Counter(points, benchmark::Counter::kIsRate);
}

void chaos_step_single(benchmark::State& state) {
  prepare(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(chaos_step());
  report_rate(state, static_cast<double>(state.iterations()));
}

void chaos_step_batch(benchmark::State& state) {
  prepare(state.range(0) != 0);
  const RenderState& render = app_state().render;
  for (auto _ : state) {
    for (int point = 0; point < BATCH_POINTS; ++point) benchmark::DoNotOptimize(chaos_step());
    benchmark::DoNotOptimize(render.x);
  }
  report_rate(state, static_cast<double>(state.iterations()) * BATCH_POINTS);
}

void measure_bounds_run(benchmark::State& state) {
  prepare(state.range(0) != 0);
  for (auto _ : state) measure_bounds();
  report_rate(state, static_cast<double>(state.iterations()) * (MEASURE_WARM_UP_STEPS + MEASURE_STEPS));
}

}  // namespace

// Argument 0: the built-in table; 1: the fern.
BENCHMARK(chaos_step_single)->Arg(0)->Arg(1);
BENCHMARK(chaos_step_batch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(measure_bounds_run)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The console output plus the ratio of each run to the baseline.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto rate = run.counters.find("points_per_second");
      if (rate == run.counters.end()) continue;
      std::printf("  %s: %.0f points/s, %.0f x the %.0f points/s the drawing timer needs\n",
                  run.benchmark_name().c_str(), rate->second.value, rate->second.value / REQUIRED_POINTS_PER_SECOND,
                  REQUIRED_POINTS_PER_SECOND);
    }
  }
};

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
