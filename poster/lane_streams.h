// Several chunk streams played in lockstep, one per vector lane. Every
// stream's generator steps its tables at the same indices, so one step of
// all lanes is a handful of vector operations; each lane keeps the scalar
// loop's arithmetic (double evaluation stored as float, no fused multiply-add)
// and so the same points. The points found are handed over a block of steps
// at a time, for the counts to be incremented in one go.
#pragma once

#include <cstdint>

#include "app/ifs_table.h"
#include "poster/attractor_fit.h"
#include "poster/point_streams.h"

enum LanePath { LANES_SCALAR, LANES_SSE2, LANES_AVX2, LANES_AVX512 };

// Steps of every lane handed over at once.
inline constexpr int LANE_BLOCK_STEPS = 64;
// The most lanes any path plays.
inline constexpr int MAX_LANES = 32;

// The element of a point off the canvas, or past its lane's chunk.
inline constexpr std::uint32_t LANE_OFF_CANVAS = 0xFFFFFFFFu;
// Elements are 32-bit, so the lanes only count canvases of fewer elements
// than LANE_OFF_CANVAS (larger ones take the scalar loop).
inline bool lanes_count(std::int64_t elements) { return elements < std::int64_t{LANE_OFF_CANVAS}; }

// The points of one block: entry k · lanes + l is lane l's point of step k.
struct LaneBlock {
  int lanes = 0;
  int steps = 0;
  // The element each point is counted in: slot · plane + row · row_length +
  // column, or LANE_OFF_CANVAS.
  const std::uint32_t* element = nullptr;
  const std::uint32_t* slot = nullptr;
  const std::int64_t* first_number = nullptr;  // per lane: the number of its point at step 0
  // The block played after this one, whose counts are fetched while this
  // block's are incremented: the misses then overlap the next block's steps.
  const std::uint32_t* next_element = nullptr;
  int next_entries = 0;
};

struct LaneSink {
  void (*plot)(void* context, const LaneBlock& block) = nullptr;
  void* context = nullptr;
};

// Needs at least one map: every lane reads some map's row at every step.
struct LaneJob {
  const ChoiceTable* choices = nullptr;
  MapRows maps{};
  SampleTransform transform;
  double width = 0.0;
  double height = 0.0;
  std::uint32_t row_length = 0;
  std::uint32_t plane = 0;  // elements between two slots' counts; 0 for flat keys
  std::uint32_t seed = 0;
  std::int64_t points = 0;
};

// Plays chunks first_chunk .. first_chunk + lanes - 1, those past the job's
// points plotting nothing.
using LanePlayer = void (*)(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink);

struct LaneKernel {
  LanePath path = LANES_SCALAR;
  int lanes = 1;
  LanePlayer play = nullptr;  // null for the scalar loop
};

// The widest path this processor runs (AVX-512, AVX2, else the scalar loop),
// or the one IFS_SIMD names ("scalar", "sse2", "avx2", "avx512") when the
// processor runs it.
LaneKernel lane_kernel_chosen();
// The kernel of one path; false when this build or processor lacks it.
bool lane_kernel_for(LanePath path, LaneKernel& kernel);
const char* lane_path_name(LanePath path);

// Each path's player, defined where its instructions are enabled.
void play_lanes_sse2(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink);
void play_lanes_avx2(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink);
void play_lanes_avx512(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink);
