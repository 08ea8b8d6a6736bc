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

// A generator of the caller's own follows the same rule as the process-wide
// one, so that work split into independent streams stays reproducible.
void random_state_seed(RandomGenerator& generator, std::uint32_t seed);
// One step: the raw 32-bit word.
inline std::uint32_t random_state_step(RandomGenerator& generator) {
  const int i = generator.i;
  const int j = generator.j;
  const std::uint32_t new_a = ((generator.B[i] >> 13) | (generator.B[i] << 19)) + generator.B[j];
  const std::uint32_t new_b = ((generator.A[i] >> 5) | (generator.A[i] << 27)) + generator.A[j];
  generator.A[i] = new_a;
  generator.B[i] = new_b;
  generator.i = i == 0 ? RANDOM_TABLE_SIZE - 1 : i - 1;
  generator.j = j == 0 ? RANDOM_TABLE_SIZE - 1 : j - 1;
  return new_a;
}

// The one process-wide generator (readable so that its state can be checked).
const RandomGenerator& random_generator();

// Restarts the sequence so that what follows depends only on seed.
void random_seed(std::int32_t seed);
// 0..max inclusive for max >= 0; the raw 32-bit word for max = -1.
std::int32_t random_next(std::int32_t max);
