// The runtime's pseudo-random generator: a two-table additive generator with
// word rotations, seeded by a multiplicative recurrence. Pictures depend on
// its exact output, so every word operation matters.
#pragma once

#include <cstdint>

inline constexpr int RANDOM_TABLE_SIZE = 17;

struct RandomGenerator {
  std::uint32_t A[RANDOM_TABLE_SIZE];
  std::uint32_t B[RANDOM_TABLE_SIZE];
  std::int32_t i;
  std::int32_t j;
  std::int32_t seeded;  // 0 until seeded, explicitly or lazily
};

// The one process-wide generator (readable so that its state can be checked).
const RandomGenerator& random_generator();

// Restarts the sequence so that what follows depends only on seed.
void random_seed(std::int32_t seed);
// 0..max inclusive for max >= 0; the raw 32-bit word for max = -1.
std::int32_t random_next(std::int32_t max);
