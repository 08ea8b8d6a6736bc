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

// The chaos game draws a number for every point: the step is inline, and
// only the first use of an unseeded generator leaves the header.
extern RandomGenerator random_state;
void random_seed_lazily();

inline std::uint32_t random_step() { return random_state_step(random_state); }

// 0..max inclusive for max >= 0; the raw 32-bit word for max = -1.
inline std::int32_t random_next(std::int32_t max) {
  if (!random_state.seeded) random_seed_lazily();
  const std::uint32_t value = random_step();
  const std::uint32_t range = static_cast<std::uint32_t>(max) + 1u;
  if (range == 0) return static_cast<std::int32_t>(value);
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(value) * range) >> 32);
}
