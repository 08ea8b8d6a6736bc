// Plays every chunk of a render's points into a sample buffer, on as many
// threads as asked for (and as memory allows: each thread counts into a
// buffer of its own, merged at the end). Integer counts and last-point keys
// merge the same in any order, so the result never depends on the threads.
#pragma once

#include <cstdint>

#include "app/ifs_table.h"
#include "poster/attractor_fit.h"
#include "poster/sample_buffer.h"

struct AccumulationJob {
  const IfsTable* table = nullptr;
  std::uint32_t seed = 0;
  std::int64_t points = 0;
  SampleTransform transform;
  SampleCanvas canvas;
  int threads = 1;
};

std::int64_t chunk_count(std::int64_t points);

// False when not even one buffer can be had.
bool accumulate(const AccumulationJob& job, SampleBuffer& result);

// The threads a job will use: no more than asked, than there are chunks,
// or than buffers fit in half the machine's memory; at least one.
int accumulation_threads(const AccumulationJob& job);
