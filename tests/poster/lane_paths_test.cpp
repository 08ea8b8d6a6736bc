// Every lockstep path this processor has must count exactly what the scalar
// loop counts, on every example table and on tables built to break it: not a
// number, coefficients that overflow a float, thousands of maps, weights so
// small that most steps choose no map. Private buffers and the shared one,
// one thread and two, density and flat, must all agree.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "poster/accumulation.h"

namespace {

struct NamedTable {
  std::string name;
  std::vector<std::vector<float>> maps;
};

// The example files' numbers: one table per block (or per file), comments
// after a semicolon.
std::vector<NamedTable> example_tables(const std::string& file_name) {
  std::ifstream file(std::string(IFS_SOURCE_DIR "/examples/") + file_name);
  std::vector<NamedTable> tables(1, NamedTable{file_name, {}});
  for (std::string line; std::getline(file, line);) {
    line = line.substr(0, line.find(';'));
    if (line.find('{') != std::string::npos) {
      tables.push_back(NamedTable{file_name + ":" + line.substr(0, line.find('{')), {}});
      continue;
    }
    std::istringstream fields(line);
    std::vector<float> values(IFS_PARAMETER_COUNT);
    bool complete = true;
    for (float& value : values) complete = complete && static_cast<bool>(fields >> value);
    if (complete) tables.back().maps.push_back(values);
  }
  std::vector<NamedTable> filled;
  for (NamedTable& table : tables)
    if (!table.maps.empty()) filled.push_back(std::move(table));
  return filled;
}

std::vector<NamedTable> hostile_tables() {
  const float nan = std::nanf("");
  std::vector<NamedTable> tables;
  tables.push_back({"not a number", {{0.5f, 0, 0, 0.5f, 0, 0, 0.5f}, {nan, 0.1f, 0, 0.5f, 0.5f, nan, 0.5f}}});
  tables.push_back({"1e30", {{1e30f, 0, 0, 0.5f, 0, 0, 0.5f}, {0.5f, 0, -1e30f, 0.5f, 1e30f, 0.5f, 0.5f}}});
  tables.push_back({"weights under 1 %", {{0.5f, 0, 0, 0.5f, 0, 0, 0.004f}, {0.5f, 0, 0, 0.5f, 0.5f, 0.5f, 0.003f}}});
  NamedTable many{"4096 maps", {}};
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coefficient(-0.7f, 0.7f);
  for (int m = 0; m < 4096; ++m)
    many.maps.push_back({coefficient(random), coefficient(random), coefficient(random), coefficient(random),
                         coefficient(random), coefficient(random), 1.0f / 4096.0f});
  tables.push_back(many);
  return tables;
}

IfsTable ifs_table(const NamedTable& named) {
  IfsTable table;
  EXPECT_TRUE(ifs_table_resize(table, static_cast<std::int32_t>(named.maps.size())));
  for (std::size_t m = 0; m < named.maps.size(); ++m)
    for (int k = 0; k < IFS_PARAMETER_COUNT; ++k) ifs_set(table, k, static_cast<std::int32_t>(m), named.maps[m][k]);
  return table;
}

constexpr std::int64_t WIDTH = 160;
constexpr std::int64_t HEIGHT = 120;

AccumulationJob job_for(const IfsTable& table, ShadeMode mode, std::int64_t points, bool measured) {
  AccumulationJob job;
  job.table = &table;
  job.seed = 1234;
  job.points = points;
  job.canvas = {WIDTH, HEIGHT, 3, mode};
  // The hostile tables' boxes say little: a fixed view of [-1, 1]² shows them.
  job.transform = measured ? attractor_fit(attractor_measure(table, job.seed), WIDTH, HEIGHT, 0)
                           : SampleTransform{WIDTH / 2.0, WIDTH / 2.0, -HEIGHT / 2.0, HEIGHT / 2.0};
  LaneKernel scalar;
  EXPECT_TRUE(lane_kernel_for(LANES_SCALAR, scalar));
  job.kernel = scalar;
  return job;
}

std::vector<std::uint64_t> samples_of(const AccumulationJob& job) {
  SampleBuffer buffer;
  EXPECT_TRUE(accumulate(job, buffer));
  std::vector<std::uint64_t> values(static_cast<std::size_t>(job.canvas.elements()));
  for (std::size_t i = 0; i < values.size(); ++i)
    values[i] = job.canvas.mode == SHADE_DENSITY ? buffer.counts[i] : buffer.keys[i];
  return values;
}

std::vector<LaneKernel> lane_kernels() {
  std::vector<LaneKernel> kernels;
  for (const LanePath path : {LANES_SSE2, LANES_AVX2, LANES_AVX512}) {
    LaneKernel kernel;
    if (lane_kernel_for(path, kernel)) kernels.push_back(kernel);
  }
  return kernels;
}

// Compares every path, thread count and buffer sharing with the scalar loop
// on one thread.
void expect_paths_agree(const NamedTable& named, std::int64_t points, bool measured) {
  const IfsTable table = ifs_table(named);
  for (const ShadeMode mode : {SHADE_DENSITY, SHADE_FLAT}) {
    const AccumulationJob reference_job = job_for(table, mode, points, measured);
    const std::vector<std::uint64_t> reference = samples_of(reference_job);
    std::uint64_t hit = 0;
    for (const std::uint64_t value : reference) hit += value != 0;
    if (measured) {
      EXPECT_GT(hit, std::uint64_t{WIDTH}) << named.name;  // an example covers a good part of the canvas
    }
    std::vector<LaneKernel> kernels = lane_kernels();
    kernels.push_back(reference_job.kernel);
    for (const LaneKernel& kernel : kernels) {
      for (const int threads : {1, 2}) {
        for (const bool shared : {false, true}) {
          AccumulationJob job = reference_job;
          job.kernel = kernel;
          job.threads = threads;
          job.shared_from_bytes = shared ? 0 : job.shared_from_bytes;
          EXPECT_EQ(samples_of(job), reference) << named.name << " on " << lane_path_name(kernel.path) << ", "
                                                << threads << " threads" << (shared ? ", shared" : "")
                                                << (mode == SHADE_FLAT ? ", flat" : ", density");
        }
      }
    }
  }
}

// Three chunks and a part: most lanes of a wide path have nothing to plot.
constexpr std::int64_t FEW_POINTS = 3 * CHUNK_POINTS + 1234;

TEST(LanePaths, CountWhatTheScalarLoopCountsOnEveryExample) {
  for (const char* file : {"carpet.ifs", "classics.ifs", "dragon.ifs", "fern.ifs", "maple.ifs", "sierpinski.ifs",
                           "spiral.ifs", "tree.ifs"}) {
    const std::vector<NamedTable> tables = example_tables(file);
    EXPECT_FALSE(tables.empty()) << file;
    for (const NamedTable& table : tables) expect_paths_agree(table, FEW_POINTS, true);
  }
}

// More chunks than the widest path has lanes, twice over and a part, so that
// every path deals several groups and the last one is ragged.
TEST(LanePaths, CountWhatTheScalarLoopCountsOverSeveralGroupsOfChunks) {
  expect_paths_agree(example_tables("fern.ifs").front(), 2 * MAX_LANES * CHUNK_POINTS + 5 * CHUNK_POINTS + 99, true);
}

TEST(LanePaths, CountWhatTheScalarLoopCountsOnHostileTables) {
  for (const NamedTable& table : hostile_tables()) expect_paths_agree(table, FEW_POINTS, false);
}

// A map that never moves puts every point on one sample: each increment
// lands on the same count, on every path and when threads share the buffer.
TEST(LanePaths, PointsThatAllLandOnOneSampleAreAllCounted) {
  const NamedTable still{"one point", {{0, 0, 0, 0, 0, 0, 1.0f}}};
  const IfsTable table = ifs_table(still);
  for (const LaneKernel& kernel : lane_kernels()) {
    AccumulationJob job = job_for(table, SHADE_DENSITY, FEW_POINTS, false);
    job.kernel = kernel;
    job.threads = 2;
    job.shared_from_bytes = 0;
    SampleBuffer buffer;
    ASSERT_TRUE(accumulate(job, buffer));
    const std::int64_t centre = HEIGHT / 2 * WIDTH + WIDTH / 2;
    EXPECT_EQ(buffer.counts[centre], FEW_POINTS) << lane_path_name(kernel.path);
  }
}

TEST(LanePaths, IfsSimdChoosesAPathAndIgnoresNamesItDoesNotKnow) {
  const LaneKernel best = lane_kernel_chosen();
  setenv("IFS_SIMD", "scalar", 1);
  EXPECT_EQ(lane_kernel_chosen().path, LANES_SCALAR);
  EXPECT_EQ(lane_kernel_chosen().play, nullptr);
  setenv("IFS_SIMD", "sse2", 1);
  EXPECT_EQ(lane_kernel_chosen().path, lane_kernels().empty() ? LANES_SCALAR : LANES_SSE2);
  setenv("IFS_SIMD", "fastest please", 1);
  EXPECT_EQ(lane_kernel_chosen().path, best.path);
  unsetenv("IFS_SIMD");
}

}  // namespace
