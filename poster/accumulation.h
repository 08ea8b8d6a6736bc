// Plays every chunk of a render's points into a sample buffer, on as many
// threads as asked for. Small canvases get a buffer per thread, merged at the
// end; large ones are shared by all threads, which then count with atomic
// increments, so that memory stays that of one buffer. Integer counts and
// last-point keys come out the same in any order, so the result never
// depends on the threads or on the lockstep path.
#pragma once

#include <cstdint>

#include "app/ifs_table.h"
#include "app/space_maps.h"
#include "poster/attractor_fit.h"
#include "poster/lane_streams.h"
#include "poster/sample_buffer.h"

// Told the points played so far, from the calling thread, now and then.
struct AccumulationProgress {
  void (*report)(void* context, std::int64_t points_done) = nullptr;
  void* context = nullptr;
};

struct AccumulationJob {
  const IfsTable* table = nullptr;
  // A 3-D table's maps, `table` then holding only its weights; null for a
  // plane table. Played by the scalar loop alone.
  const SpaceMaps* space = nullptr;
  std::uint32_t seed = 0;
  std::int64_t points = 0;
  SampleTransform transform;
  SampleCanvas canvas;
  int threads = 1;
  LaneKernel kernel = lane_kernel_chosen();
  AccumulationProgress progress;
  // From this size on, threads share one buffer: past the caches the atomic
  // increments cost little more than the misses they wait for.
  std::int64_t shared_from_bytes = std::int64_t{256} << 20;
};

std::int64_t chunk_count(std::int64_t points);

// False when not even one buffer can be had.
bool accumulate(const AccumulationJob& job, SampleBuffer& result);

// The threads a job will use: no more than asked, than there are chunks,
// or, with a buffer each, than buffers fit in half the machine's memory; at
// least one.
int accumulation_threads(const AccumulationJob& job);
// Whether the job's threads count into one shared buffer.
bool accumulation_shares_buffer(const AccumulationJob& job);
